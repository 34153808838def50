# `make uninstall`: removes what the install under PREFIX (and DESTDIR) put there, as listed in
# lib/quillet/installed-files.txt: its files, then the folders it made (lines ending in "/") where
# they are empty. The settings and history files beside the program were never installed, so they
# stay, and the program's folder with them.
# Usage: cmake -DPREFIX=<absolute prefix> -P cmake/Uninstall.cmake
if(NOT IS_ABSOLUTE "${PREFIX}")
  message(FATAL_ERROR "Give the install prefix as an absolute path: -DPREFIX=<prefix>.")
endif()
set(folder "$ENV{DESTDIR}${PREFIX}/lib/quillet")
set(list_file "${folder}/installed-files.txt")
if(NOT EXISTS "${list_file}")
  message(FATAL_ERROR "Quillet is not installed in ${PREFIX}: ${list_file} is missing.")
endif()

file(STRINGS "${list_file}" installed)
set(made "")
foreach(file IN LISTS installed)
  # A damaged list must not reach outside the prefix.
  cmake_path(IS_PREFIX PREFIX "${file}" NORMALIZE inside)
  if(NOT IS_ABSOLUTE "${file}" OR NOT inside)
    message(WARNING "Skipped ${file}: not a path inside ${PREFIX}.")
    continue()
  endif()
  cmake_path(SET path NORMALIZE "$ENV{DESTDIR}${file}")
  if(file MATCHES "/$")
    list(APPEND made "${path}")
  elseif(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing: ${path}")
    file(REMOVE "${path}")
  endif()
endforeach()

execute_process(COMMAND rmdir "${folder}" RESULT_VARIABLE kept ERROR_QUIET)
if(kept)
  message(STATUS "Kept ${folder}: it holds your settings and history files.")
endif()
# Deepest first; rmdir leaves a folder that holds anything.
list(SORT made)
list(REVERSE made)
foreach(path IN LISTS made)
  execute_process(COMMAND rmdir "${path}" OUTPUT_QUIET ERROR_QUIET)
endforeach()
