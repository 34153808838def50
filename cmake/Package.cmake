# `make deb`: a Debian package built by CPack from the same install rules as `make install`, under
# /usr, with the manual page and the files Debian asks of every package. CPack rather than a
# debian/ folder: the install rules stay the one list of what Quillet installs, and a clean
# checkout needs nothing beyond what it builds with (dpkg-shlibdeps computes the Depends).
set(quillet_doc share/doc/quillet)

foreach(file quillet.1:share/man/man1 debian/changelog:${quillet_doc})
  string(REPLACE ":" ";" parts ${file})
  list(GET parts 0 source)
  list(GET parts 1 destination)
  get_filename_component(name ${source} NAME)
  # gzip -9n: the best compression and no time stamp, so the package is the same at every build.
  add_custom_command(OUTPUT ${quillet_staging}/${name}.gz
    COMMAND gzip -9n -c ${quillet_data}/${source} > ${quillet_staging}/${name}.gz
    DEPENDS ${quillet_data}/${source} VERBATIM)
  list(APPEND quillet_compressed ${quillet_staging}/${name}.gz)
  install(FILES ${quillet_staging}/${name}.gz DESTINATION ${destination})
endforeach()
add_custom_target(quillet_package_files ALL DEPENDS ${quillet_compressed})
install(FILES ${quillet_data}/debian/copyright DESTINATION ${quillet_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Quillet developers <quillet@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mark up pictures the way a text marker tints paper")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet is a small desktop tool for marking up pictures. Open a JPEG or bitmap
picture, or paste a screenshot, drag rectangles over it, and each rectangle is
tinted the way a text marker tints paper: light backgrounds take the colour,
dark text stays dark. Crop, copy, undo, print and save as you go; scripts can
mark pictures with the same blend through quillet --mark.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/quillet/quillet)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Native on Wayland sessions, where most users now are; X11 needs nothing more.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
