# CPack: one .deb, marqueta-dormix_<version>_<arch>.deb, its dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VELTA_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Marqueta and Dormix developers <marqueta-dormix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "administration tools for a Velta web-mail installation")
set(CPACK_PACKAGE_DESCRIPTION "\
Marqueta keeps the catalogue of advertising banners that the web-mail pages
rotate: it lists the banners, edits them, and publishes each banner's image
and page in the web folder.

Dormix removes the accounts of users who have not logged on for a chosen
number of days, with their records in the key index files and, on request,
their users in the Tervox mail server's database.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The stand-in library is ours and private: dpkg-shlibdeps looks for it there, not in a package.
# dpkg-shlibdeps runs in the staging folder, so the folder is given relative to it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS .${CMAKE_INSTALL_PREFIX}/${VELTA_PRIVATE_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The nightly run's settings are the administrator's: an upgrade keeps what was changed there. The
# scripts stop its timer on removal and take away the links of an enabled timer on purge.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/conffiles ${CMAKE_CURRENT_SOURCE_DIR}/postinst
    ${CMAKE_CURRENT_SOURCE_DIR}/prerm ${CMAKE_CURRENT_SOURCE_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
