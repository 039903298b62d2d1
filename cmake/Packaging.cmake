# The Debian package of zarvik-print: `cpack -G DEB` in the build directory.
# It holds what `cmake --install` puts under /usr: the application, the
# plug-in bundle it loads, the sample PPD, the man page and the desktop
# entry. Its dependencies are the Debian packages of the shared libraries
# the program and the bundle's module link, as dpkg-shlibdeps (Debian
# package dpkg-dev) finds them.
set(CPACK_PACKAGE_NAME zarvik-print)
set(CPACK_PACKAGE_VENDOR "Zarvik")
set(CPACK_PACKAGE_CONTACT "Zarvik print maintainers <maintainers@zarvik.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print dialog for Zarvik laser engravers on CUPS")
# The long description under the summary, one line per line of the
# control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "zarvik-print chooses the job settings of a Zarvik laser engraver in the"
  "engraver's own panel, loaded from its plug-in bundle, remembers the last"
  "settings and named presets per printer, and sends the job to a CUPS queue"
  "with the options the printer's PPD has marked. Scripts can do the same"
  "from the command line, without a window.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed files without their debugging sections.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Jobs go to a CUPS server, which may be this machine's; Qt's own tables
# put the input and message boxes Qt draws in the person's language too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-daemon, qt6-translations-l10n")

include(CPack)
