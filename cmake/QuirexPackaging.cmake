# The Debian package: cpack -G DEB in the build folder (scripts/package.sh runs it). It installs
# under /usr, takes its dependencies from dpkg-shlibdeps, and registers the components for
# every user in its maintainer scripts (packaging/debian).
set(CPACK_PACKAGE_NAME quirex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ardenwyke")
set(CPACK_PACKAGE_CONTACT "Quirex developers <quirex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTML to PDF converter")
set(CPACK_PACKAGE_DESCRIPTION
  "Quirex turns HTML and text files into PDF documents. It holds the conversion\n"
  "engine component, the desktop converter quirexdesk with its command line,\n"
  "quirexpdf for scripts written for wkhtmltopdf's options, the script host\n"
  "quirexscript and the component registration tool regsvr.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The component libraries are loaded by path, so dpkg-shlibdeps must look at them too; the
# fonts and the PostScript converter are used at run time without being linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, poppler-utils, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
  ${PROJECT_SOURCE_DIR}/packaging/debian/prerm
  ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Our own postinst and postrm also keep cpack from adding ldconfig calls, which private
# component libraries under /usr/lib would otherwise bring.

set(CPACK_GENERATOR DEB)
include(CPack)
