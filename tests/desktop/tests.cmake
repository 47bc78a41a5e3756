# Desktop integration checks that need the real binary or the install tree.
add_test(NAME desktop_install
         COMMAND ${dir}/check-install.sh ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
set_tests_properties(desktop_install PROPERTIES TIMEOUT 120)
