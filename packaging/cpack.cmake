# The Debian package: scripts/package builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velodane)
set(CPACK_PACKAGE_VENDOR "Velodane Project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Descriptions of the 62 soil-series groups (Thai)")
set(CPACK_PACKAGE_CONTACT "Velodane developers <velodane@localhost>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), fonts-thai-tlwg")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velodane presents the descriptions of the 62 soil-series groups.\n A click on a group opens its document in LibreOffice Writer, read-only.")
include(CPack)
