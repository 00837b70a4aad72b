# CPack settings for the Debian package velkomenuview_<version>_<arch>.deb,
# made from the install rules of cmake/install.cmake (scripts/package.sh).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkomenuview)
set(CPACK_PACKAGE_VENDOR "Ombrix LLC")
set(CPACK_PACKAGE_CONTACT "VelkoMenuView developers <dev@velko.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live preview of VELKO-OS firmware menus for Qt Creator")
# No double quotes: CPack writes the text into its configuration unescaped.
set(CPACK_PACKAGE_DESCRIPTION [=[
VelkoMenuView previews the on-screen menus of VELKO-OS firmware while you
type. Menus are written in C with the BEGIN_MENU, MENU_ITEM and END_MENU
macros; a side pane follows the editor cursor, parses the menu under it and
draws it pixel-exact on an emulated 128x64 one-bit screen with the device's
own graphics library and 6x8 font.

The package holds the plug-in for Qt Creator 9.0 (the Velko Menu View pane
of the navigation side bar), velko-menu, which renders menus to PNG or text
art and checks menu sources for what the device would cut, skip or refuse,
and velko-menu-studio, a small editor with the same pane for work without
the IDE.]=])
set(CPACK_PACKAGE_INSTALL_DIRECTORY velkomenuview)
# Stripped by our own script, as dh_strip would (plain strip keeps .comment).
set(CPACK_STRIP_FILES OFF)
set(CPACK_VELKO_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip-staged.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ombrix.example")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Library dependencies come from dpkg-shlibdeps. The IDE's libraries live in
# its private folders and have no shlibs entry: naming those folders lets
# dpkg-shlibdeps find them and leave them to the versioned qtcreator
# dependency below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

if(TARGET VelkoMenuViewIde)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${VELKO_IDE_LIBDIR} ${VELKO_IDE_LIBDIR}/plugins)
    # The module's binary interface is that of one IDE minor release, and it
    # asks for the Core version named in its metadata; a pre-release of the
    # next minor (9.1~beta) already has the next interface.
    file(READ ${PROJECT_SOURCE_DIR}/menuview/VelkoMenuView.json.in metadata)
    string(JSON count LENGTH "${metadata}" Dependencies)
    math(EXPR last "${count} - 1")
    set(core_version "")
    foreach(i RANGE ${last})
        string(JSON name GET "${metadata}" Dependencies ${i} Name)
        if(name STREQUAL "Core")
            string(JSON core_version GET "${metadata}" Dependencies ${i} Version)
        endif()
    endforeach()
    if(NOT core_version MATCHES "^([0-9]+)\\.([0-9]+)")
        message(FATAL_ERROR "No Core version in menuview/VelkoMenuView.json.in")
    endif()
    math(EXPR next_minor "${CMAKE_MATCH_2} + 1")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "qtcreator (>= ${core_version}), qtcreator (<< ${CMAKE_MATCH_1}.${next_minor}~)")
endif()

# The layout holds only for the prefix /usr (GNUInstallDirs picks the
# multiarch library folder for it, and the IDE looks there): refuse to make a
# package from a tree configured for another prefix rather than ship one the
# IDE never finds.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/VelkoCPackOptions.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
    "# Written by cmake/package.cmake; read by cpack.\n"
    "if(CPACK_GENERATOR STREQUAL \"DEB\" AND NOT \"${CMAKE_INSTALL_PREFIX}\" STREQUAL \"/usr\")\n"
    "    message(FATAL_ERROR \"The Debian package needs a tree configured with \"\n"
    "        \"-DCMAKE_INSTALL_PREFIX=/usr (this one has ${CMAKE_INSTALL_PREFIX}); \"\n"
    "        \"scripts/package.sh does that\")\n"
    "endif()\n")

include(CPack)
