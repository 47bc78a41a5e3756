# A small second process for the single-instance tests: takes the lock, serves
# or sends a hand-off, as the test asks.
add_executable(platform_probe ${CMAKE_CURRENT_LIST_DIR}/probe/PlatformProbe.cpp)
target_link_libraries(platform_probe PRIVATE velmo_platform)
velmo_use_layers(platform_probe platform)
add_dependencies(test_platform platform_probe)
target_compile_definitions(test_platform PRIVATE
  VELMO_PLATFORM_PROBE="$<TARGET_FILE:platform_probe>")
