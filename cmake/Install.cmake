# `make install`: the program in a folder of its own, so its settings and history files can live
# beside it; the `quillet` command; the menu entry; the icon at the usual sizes; AppStream data.
set(QUILLET_ID io.github.quillet.Quillet)
set(quillet_data ${CMAKE_SOURCE_DIR}/data)
set(quillet_staging ${CMAKE_BINARY_DIR}/install-staging)

set(quillet_folders bin lib/quillet share/applications share/icons/hicolor/scalable/apps
    share/metainfo)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND quillet_folders share/icons/hicolor/${size}x${size}/apps)
endforeach()

# Runs first. A relative prefix would place files where uninstalling cannot find them. The folders
# this install makes, and those an earlier one made, are noted so that uninstalling removes them.
install(CODE "set(quillet_folders \"${quillet_folders}\")")
install(CODE [[
  if(NOT IS_ABSOLUTE "${CMAKE_INSTALL_PREFIX}")
    message(FATAL_ERROR "The install prefix must be an absolute path, not ${CMAKE_INSTALL_PREFIX}.")
  endif()
  string(REGEX REPLACE "(.)/+$" "\\1" quillet_root "${CMAKE_INSTALL_PREFIX}")
  set(quillet_list "${quillet_root}/lib/quillet/installed-files.txt")
  set(quillet_made "")
  if(EXISTS "$ENV{DESTDIR}${quillet_list}")
    file(STRINGS "$ENV{DESTDIR}${quillet_list}" quillet_made REGEX "/$")
  endif()
  foreach(folder IN LISTS quillet_folders)
    while(NOT folder STREQUAL "")
      if(NOT EXISTS "$ENV{DESTDIR}${quillet_root}/${folder}")
        list(APPEND quillet_made "${quillet_root}/${folder}/")
      endif()
      cmake_path(GET folder PARENT_PATH folder)
    endwhile()
  endforeach()
  list(REMOVE_DUPLICATES quillet_made)
]])

install(TARGETS quillet RUNTIME DESTINATION lib/quillet)

# A relative link holds under DESTDIR, and Qt resolves it, so the program still sees its folder.
file(MAKE_DIRECTORY ${quillet_staging})
file(CREATE_LINK ../lib/quillet/quillet ${quillet_staging}/quillet SYMBOLIC)
install(FILES ${quillet_staging}/quillet DESTINATION bin)

# The menu entry starts the command by its full path: ~/.local/bin is not on every session's PATH.
# The prefix is known only at install time (cmake --install --prefix).
install(CODE "configure_file(${quillet_data}/${QUILLET_ID}.desktop.in
  ${quillet_staging}/${QUILLET_ID}.desktop @ONLY)")
install(FILES ${quillet_staging}/${QUILLET_ID}.desktop DESTINATION share/applications)

foreach(size 16 24 32 48 64 128 256)
  install(FILES ${quillet_data}/icons/${size}/${QUILLET_ID}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${quillet_data}/icons/${QUILLET_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${quillet_data}/${QUILLET_ID}.metainfo.xml DESTINATION share/metainfo)

# A package has its own list of files and removes them itself.
if(QUILLET_PACKAGE)
  return()
endif()

# Runs last: CMake's install manifest so far (paths without DESTDIR), this list itself and the
# folders made, kept beside the program so that cmake/Uninstall.cmake works without the build folder.
install(CODE [[
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${quillet_list}")
  list(JOIN CMAKE_INSTALL_MANIFEST_FILES "\n" lines)
  foreach(folder IN LISTS quillet_made)
    string(APPEND lines "\n${folder}")
  endforeach()
  message(STATUS "Installing: $ENV{DESTDIR}${quillet_list}")
  file(WRITE "$ENV{DESTDIR}${quillet_list}" "${lines}\n")
]])
