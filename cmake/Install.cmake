# Install rules: the program, its desktop entry (with the audio MIME types it
# opens), the icon in the hicolor theme and the AppStream metainfo, each in the
# standard place below the prefix (cmake --install build --prefix /usr/local).

include(GNUInstallDirs)

set(VELMO_INSTALL_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/resources/install)

install(TARGETS velmoplayer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${VELMO_INSTALL_RESOURCES}/velmoplayer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

install(FILES ${VELMO_GENERATED_DIR}/${VELMO_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${VELMO_INSTALL_RESOURCES}/velmoplayer.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 48 128)
  install(FILES ${VELMO_INSTALL_RESOURCES}/velmoplayer-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME velmoplayer.png)
endforeach()
