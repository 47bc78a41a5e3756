# The command line of the real program, the manual page and the Debian package, checked without installing them.
# Installing the package into a fresh Debian root is slower and needs the
# network: tests/package/install-test.sh (see README).
add_test(NAME package_manpage
         COMMAND ${dir}/check-manpage.sh ${CMAKE_BINARY_DIR}/doc/velmoplayer.1 $<TARGET_FILE:velmoplayer>)
add_test(NAME package_cli COMMAND ${dir}/check-cli.sh $<TARGET_FILE:velmoplayer>)
add_test(NAME package_deb
         COMMAND ${dir}/check-deb.sh --cpack ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR})
set_tests_properties(package_cli package_manpage package_deb PROPERTIES TIMEOUT 120)
