# What a Debian user gets beyond the install tree of Install.cmake: the manual
# page, the package's copyright and changelog, and the .deb built by CPack:
#
#   scripts/package.sh        -> build/velmoplayer_<version>_<arch>.deb
#
# CPack rather than debhelper: the install rules above are the single list of
# files, and the version and FFmpeg's libraries come from this build's own
# configuration; debhelper would add a debian/ tree repeating both.

set(VELMO_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
set(VELMO_MAINTAINER "VelmoPlayer developers <velmoplayer@users.noreply.github.com>")

# The manual page and Debian's changelog carry the version and release day.
execute_process(COMMAND date -u -R -d "${VELMO_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE VELMO_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/doc/velmoplayer.1.in ${VELMO_DOC_DIR}/velmoplayer.1 @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/changelog.in ${VELMO_DOC_DIR}/changelog @ONLY)
# Debian keeps both compressed, without name or time stamp, so builds match.
add_custom_command(OUTPUT ${VELMO_DOC_DIR}/velmoplayer.1.gz ${VELMO_DOC_DIR}/changelog.gz
                   COMMAND gzip -9nkf velmoplayer.1 changelog
                   DEPENDS ${VELMO_DOC_DIR}/velmoplayer.1 ${VELMO_DOC_DIR}/changelog
                   WORKING_DIRECTORY ${VELMO_DOC_DIR} VERBATIM)
add_custom_target(velmo_docs ALL DEPENDS ${VELMO_DOC_DIR}/velmoplayer.1.gz ${VELMO_DOC_DIR}/changelog.gz)

install(FILES ${VELMO_DOC_DIR}/velmoplayer.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/copyright ${VELMO_DOC_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/velmoplayer)

# FFmpeg and SDL are opened with dlopen (src/audio/FfmpegApi.cpp,
# src/audio/SdlOutput.cpp), so dpkg-shlibdeps cannot see them: each library's
# package and minimum version come from the shlibs entry of the package that
# holds the soname this build opens.
function(velmo_dlopen_depends out)
  set(libraries)
  foreach(lib IN ITEMS avformat avcodec swresample avutil)
    string(REGEX MATCH "^[0-9]+" major "${FFMPEG_lib${lib}_VERSION}")
    list(APPEND libraries "${lib}:${major}")
  endforeach()
  # SDL 2 keeps one soname for all its versions.
  list(APPEND libraries "SDL2-2.0:0")
  set(depends)
  foreach(entry IN LISTS libraries)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 lib)
    list(GET parts 1 major)
    set(soname lib${lib}.so.${major})
    execute_process(COMMAND dpkg-query -S "*/${CMAKE_LIBRARY_ARCHITECTURE}/${soname}" OUTPUT_VARIABLE owner
                    RESULT_VARIABLE failed ERROR_QUIET)
    string(REGEX MATCH "^[^:]+" package "${owner}")
    if(failed OR NOT package)
      message(FATAL_ERROR "No installed package holds ${soname}; the .deb could not name it")
    endif()
    execute_process(COMMAND dpkg-query --control-show ${package} shlibs
                    OUTPUT_VARIABLE shlibs ERROR_QUIET)
    if(shlibs MATCHES "(^|\n)lib${lib} ${major} ([^\n]+)")
      list(APPEND depends "${CMAKE_MATCH_2}")
    else()
      list(APPEND depends "${package}")
    endif()
  endforeach()
  list(JOIN depends ", " joined)
  set(${out} "${joined}" PARENT_SCOPE)
endfunction()
velmo_dlopen_depends(VELMO_DLOPEN_DEPENDS)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmoplayer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VELMO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio player with markers on a zoomable timeline")
# Debian shows the long description as it stands: lines below 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Velmo Player plays audio files and shows the current file on a zoomable\n"
    "timeline. Markers are dropped at the play position, dragged, named, and\n"
    "stepped or jumped between; they are kept beside the audio file in a\n"
    "plain-text file.\n"
    "\n"
    "Around the timeline sit a transport with seeking by click or arrow keys,\n"
    "a volume bar, a nine-band equalizer, a level meter, a playlist window\n"
    "with playlist files and folder scanning, and media keys through MPRIS.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/velmoplayer/velmoplayer)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${VELMO_DLOPEN_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
