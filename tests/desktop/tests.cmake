# Desktop integration checks that need the real binary or the install tree.
add_test(NAME desktop_install
         COMMAND ${dir}/check-install.sh ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
set_tests_properties(desktop_install PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)

# The real player on a private session bus, driven by the real client playerctl.
# The script starts its own session bus.
add_test(NAME desktop_mpris
         COMMAND ${dir}/mpris-playerctl.sh $<TARGET_FILE:velmoplayer>)
set_tests_properties(desktop_mpris PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
