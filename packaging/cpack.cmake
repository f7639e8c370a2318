# The Debian package: scripts/package builds it, with Debian's hardening flags
# (velodane_build_deb in scripts/lib.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velodane)
set(CPACK_PACKAGE_VENDOR "Velodane Project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Descriptions of the 62 soil-series groups (Thai)")
set(CPACK_PACKAGE_CONTACT "Velodane developers <velodane@users.noreply.github.com>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed programs lose their debug information (there is no -dbgsym package).
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/velodane/velodane")
# The Qt libraries come from dpkg-shlibdeps (which needs the file utility);
# what the program needs besides is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-thai-tlwg")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer, xdg-utils")
# CPack indents the lines after the first itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velodane presents the descriptions of the 62 soil-series groups of Thailand,\nin Thai. A click on a group in its menu opens the group's document in\nLibreOffice Writer, read-only.")
include(CPack)
