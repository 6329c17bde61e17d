# What `cmake --install` puts where: the two programs, the launcher, the icon, the metainfo
# and the man pages, in the places the FHS and freedesktop.org give them.

install(TARGETS vireo vireo-ephem RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(vireo_desktop_dir ${CMAKE_SOURCE_DIR}/resources/desktop)
install(FILES ${vireo_desktop_dir}/${VIREO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vireo_desktop_dir}/${VIREO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the SVG is the one drawing; the theme's PNG sizes are rendered from it here.
set(VIREO_ICON_SIZES 16 22 24 32 48 64 128 256)
set(vireo_icon_svg ${vireo_desktop_dir}/${VIREO_APP_ID}.svg)
set(vireo_icon_dir ${CMAKE_BINARY_DIR}/icons)
set(vireo_icon_pngs)
foreach(size IN LISTS VIREO_ICON_SIZES)
  list(APPEND vireo_icon_pngs ${vireo_icon_dir}/${size}x${size}.png)
endforeach()
add_custom_command(OUTPUT ${vireo_icon_pngs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${vireo_icon_dir}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:render-icon> ${vireo_icon_svg} ${vireo_icon_dir} ${VIREO_ICON_SIZES}
  DEPENDS render-icon ${vireo_icon_svg}
  COMMENT "Rendering the icon's PNG sizes"
  VERBATIM)
add_custom_target(vireo_icons ALL DEPENDS ${vireo_icon_pngs})
install(FILES ${vireo_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS VIREO_ICON_SIZES)
  install(FILES ${vireo_icon_dir}/${size}x${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${VIREO_APP_ID}.png)
endforeach()

# The man pages carry the version and release date; compressed, as Debian installs them.
set(vireo_man_pages)
foreach(page vireo vireo-ephem)
  configure_file(${CMAKE_SOURCE_DIR}/resources/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
    COMMAND gzip -9 -n -k -f ${page}.1
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
    VERBATIM)
  list(APPEND vireo_man_pages ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(vireo_man_pages ALL DEPENDS ${vireo_man_pages})
install(FILES ${vireo_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
