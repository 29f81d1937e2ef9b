# What `cmake --install` puts where, and the Debian package CPack makes of it.
# Paths under the prefix (default /usr/local; /usr in the package):
#   bin/torvane, bin/torvane-replay, bin/torvane-plot (tools/plot_telemetry.py),
#   bin/torvane-sweep (tools/sweep.py)
#   lib/torvane/                   the program modules: the .x importer (Assimp), the video encoder (FFmpeg)
#   share/torvane/tools/           the sweep's modules and the scripted manoeuvres
#   share/torvane/                 the game's data (game/ of the source tree)
#   share/applications/, share/icons/hicolor/*/apps/, share/metainfo/  the desktop entry, icons, AppStream
#   share/man/man6/torvane.6.gz, share/man/man1/torvane-replay.1.gz, torvane-plot.1.gz, torvane-sweep.1.gz
#   share/doc/torvane/             copyright and changelog
# The programs find the data as share/torvane beside their bin folder, so a
# moved install keeps working.
set(TORVANE_APP_ID org.torvane.Torvane)

install(TARGETS torvane torvane-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS torvane-xmesh torvane-video LIBRARY DESTINATION ${TORVANE_MODULE_DIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/plot_telemetry.py DESTINATION ${CMAKE_INSTALL_BINDIR}
  RENAME torvane-plot)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/sweep.py DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME torvane-sweep)
install(FILES ${PROJECT_SOURCE_DIR}/tools/sweep_variants.py ${PROJECT_SOURCE_DIR}/tools/sweep_table.py
  ${PROJECT_SOURCE_DIR}/tools/manoeuvre_figures.py ${PROJECT_SOURCE_DIR}/tools/plot_telemetry.py
  DESTINATION ${CMAKE_INSTALL_DATADIR}/torvane/tools)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/manoeuvres DESTINATION ${CMAKE_INSTALL_DATADIR}/torvane/tools
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/game/ DESTINATION ${CMAKE_INSTALL_DATADIR}/torvane
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${TORVANE_APP_ID}.png)
endforeach()

# Manual pages and the changelog are installed compressed, as Debian wants them.
set(compressed)
foreach(page man/torvane.6 man/torvane-replay.1 man/torvane-plot.1 man/torvane-sweep.1 changelog)
  get_filename_component(name ${page} NAME)
  set(output ${CMAKE_BINARY_DIR}/dist/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${CMAKE_CURRENT_LIST_DIR}/${page} ${output}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${page} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(torvane_dist_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/dist/torvane.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/dist/torvane-replay.1.gz ${CMAKE_BINARY_DIR}/dist/torvane-plot.1.gz
  ${CMAKE_BINARY_DIR}/dist/torvane-sweep.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/torvane)

# `cpack -G DEB` in the build folder: one .deb whose dependencies are the
# shared libraries the programs link (found by dpkg-shlibdeps), the font the
# overlay uses and the Python the plot tool runs on.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 3D driving game in a walled city")
set(CPACK_PACKAGE_DESCRIPTION "Torvane is a small real-time 3D driving game: one car, driven with the
keyboard through a walled city, with a planar four-wheel tyre model,
collisions with the walls and buildings, eight camera modes and an overlay
of the forces and slips. It comes with torvane-replay, which replays key
scripts and writes telemetry, screenshots and videos, torvane-plot, which
plots the telemetry, and torvane-sweep, which sweeps car parameters over
the scripted manoeuvres and recorded drives.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian keeps the "games" section for packages with their programs in
# /usr/games; ours are in /usr/bin like every install of this project.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Torvane developers <torvane@example.org>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, python3, python3-matplotlib, python3-numpy")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
