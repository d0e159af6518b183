# What `make install` puts where, and the Debian package built from the same rules (`make package`).
# The game finds its data from its own place, <bin>/../share/ombrivale/data, so bin/ and share/ stay side by side
# whatever the prefix.
set(OMBRIVALE_APPID io.github.ombrivale.Ombrivale)
set(OMBRIVALE_DESKTOP ${CMAKE_SOURCE_DIR}/assets/desktop)
configure_file(${OMBRIVALE_DESKTOP}/${OMBRIVALE_APPID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${OMBRIVALE_APPID}.metainfo.xml @ONLY)

install(TARGETS ombrivale RUNTIME DESTINATION bin)
install(DIRECTORY ${OMBRIVALE_DATA_DIR}/ DESTINATION share/ombrivale/data)
# The window icon the game sets on its own window.
install(FILES ${CMAKE_BINARY_DIR}/icon32.ico DESTINATION share/ombrivale)
install(FILES ${OMBRIVALE_DESKTOP}/${OMBRIVALE_APPID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/${OMBRIVALE_APPID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps/${OMBRIVALE_APPID}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ombrivale)
set(CPACK_PACKAGE_VENDOR "The Ombrivale developers")
set(CPACK_PACKAGE_CONTACT "The Ombrivale developers <ombrivale@users.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puzzle adventure with a stone cannon and a map of 105 levels")
# The summary is the package's synopsis; this is its long description (CPack indents it).
set(CPACK_PACKAGE_DESCRIPTION "Drop coloured stones from a cannon onto a temple stack, clear groups of one
colour, break granite and chains and bring trapped animals to the floor.
An adventure map of 105 levels in seven regions, match-3 levels along the
way, and up to fifteen players with their own progress on one machine.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Dependencies come from the shared libraries the game binary actually links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL loads OpenGL only when it opens a renderer, so nothing links it: without these a clean system has no
# OpenGL at all and always draws on the software renderer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1, libglx-mesa0, libgl1-mesa-dri")
set(CPACK_STRIP_FILES bin/ombrivale)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
