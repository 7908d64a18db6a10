# The Debian package, made by CPack from the install rules (cpack -G DEB in a
# build folder; "bash tools/dev.sh package" does it all). Its library
# dependencies come from dpkg-shlibdeps; the fonts the page designs are drawn
# with are named by hand, since no binary links against them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stellaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Stellaro developers")
set(CPACK_PACKAGE_CONTACT "Stellaro maintainers <maintainers@users.noreply.c-seed-1a2b7718.example>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compose and print a personal star-sign profile")
# The long description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Stellaro composes a personal star-sign profile on one landscape A4 page from
a birth date, a name and a one-line sentiment, on a male or a female page,
with six lucky numbers if wanted. The page can be previewed, printed, or saved
as a report file (.QRP) that opens again in the preview.

The stellaro command also composes profiles without a window, one at a time
or a whole CSV list, into a PDF file, a report file or a print job. The tools
stellaro-qrpdump and stellaro-emfplay show what a report file and its
Enhanced Metafile pages hold.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# /usr belongs to the system, not to the package.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_INSTALL_DIRECTORY stellaro)
include(CPack)
