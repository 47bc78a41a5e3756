# The program's version, set once in project() at the top, as a header for the
# code (platform/Version.h) and as the metainfo's release entry.

set(VELMO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/src/platform/Version.h.in
               ${VELMO_GENERATED_DIR}/platform/Version.h @ONLY)
# Every target below this directory finds the generated headers.
include_directories(${VELMO_GENERATED_DIR})

set(VELMO_APPSTREAM_ID io.github.velmoplayer.VelmoPlayer)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/install/${VELMO_APPSTREAM_ID}.metainfo.xml.in
               ${VELMO_GENERATED_DIR}/${VELMO_APPSTREAM_ID}.metainfo.xml @ONLY)
