# Install layout: the two programs in bin/; the stand-in host library and the
# module the studio loads in a private folder under the library folder, found
# through $ORIGIN-relative run paths; the IDE module in the IDE's own plug-in
# folder; documentation, desktop entry, icon and manual pages under share/.
include(GNUInstallDirs)

set(VELKO_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/velkomenuview)
set(VELKO_PRIVATE_PLUGINDIR ${VELKO_PRIVATE_LIBDIR}/plugins)
# Relative, so that the IDE's folder follows the prefix: with /usr it is where
# Debian's qtcreator looks (its RUNPATH and plug-in path are relative to
# /usr/bin), and the module is found without -pluginpath.
set(VELKO_IDE_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/qtcreator/plugins
    CACHE STRING "Folder for the IDE module, relative to the prefix or absolute")

set(VELKO_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/velkomenuview)
set(VELKO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# A umask of 002 must not make installed folders group-writable.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Paths relative to the folder of the file that uses them.
function(velko_relative_path out from_dir to_dir)
    foreach(dir from_dir to_dir)
        if(NOT IS_ABSOLUTE "${${dir}}")
            set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
        endif()
    endforeach()
    file(RELATIVE_PATH rel "${from_dir}" "${to_dir}")
    string(REGEX REPLACE "/$" "" rel "${rel}")
    if(rel STREQUAL "")
        set(rel ".")
    endif()
    set(${out} "${rel}" PARENT_SCOPE)
endfunction()

velko_relative_path(bin_to_private ${CMAKE_INSTALL_BINDIR} ${VELKO_PRIVATE_LIBDIR})
velko_relative_path(bin_to_plugins ${CMAKE_INSTALL_BINDIR} ${VELKO_PRIVATE_PLUGINDIR})
velko_relative_path(plugins_to_private ${VELKO_PRIVATE_PLUGINDIR} ${VELKO_PRIVATE_LIBDIR})

# velko-menu and velkohost link no library of ours, only the system's: no
# run path (qt_standard_project_setup would give them $ORIGIN and the system
# library folder).
set_target_properties(velko-menu velkohost PROPERTIES INSTALL_RPATH "")
install(TARGETS velko-menu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set_target_properties(velko-menu-studio PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_private}")
target_compile_definitions(velko-menu-studio PRIVATE
    VELKO_INSTALLED_PLUGIN_DIR="${bin_to_plugins}")
install(TARGETS velko-menu-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Private: no other package links it, so it stays out of the linker's path.
install(TARGETS velkohost LIBRARY DESTINATION ${VELKO_PRIVATE_LIBDIR} NAMELINK_SKIP)

set_target_properties(VelkoMenuView PROPERTIES INSTALL_RPATH "$ORIGIN/${plugins_to_private}")
install(TARGETS VelkoMenuView LIBRARY DESTINATION ${VELKO_PRIVATE_PLUGINDIR})

if(TARGET VelkoMenuViewIde)
    # As the IDE's own plug-ins do: libCore.so beside it, the IDE's libraries
    # one folder up. Valid wherever the module sits in the IDE's tree.
    set_target_properties(VelkoMenuViewIde PROPERTIES INSTALL_RPATH "$ORIGIN;$ORIGIN/..")
    install(TARGETS VelkoMenuViewIde LIBRARY DESTINATION ${VELKO_IDE_PLUGIN_INSTALL_DIR})

    set(ide_plugins "${VELKO_IDE_PLUGIN_INSTALL_DIR}")
    if(NOT IS_ABSOLUTE "${ide_plugins}")
        set(ide_plugins "${CMAKE_INSTALL_PREFIX}/${ide_plugins}")
    endif()
    get_filename_component(ide_plugins "${ide_plugins}" ABSOLUTE)
    get_filename_component(ide_own_plugins "${VELKO_IDE_LIBDIR}/plugins" ABSOLUTE)
    if(NOT ide_plugins STREQUAL ide_own_plugins)
        message(STATUS "The IDE module installs into ${ide_plugins}, where the IDE does not "
                       "look (it loads ${ide_own_plugins}); use -DCMAKE_INSTALL_PREFIX=/usr, "
                       "or the user plug-in folder (README, \"The plug-in in Qt Creator\")")
    endif()
endif()

# Debian wants manual pages and changelogs compressed with gzip -9n (no name,
# no time stamp, so that the output is reproducible); the README too, as
# dh_compress would. Made at build time from the files in packaging/.
find_program(VELKO_GZIP gzip REQUIRED)
set(VELKO_COMPRESSED_DIR ${PROJECT_BINARY_DIR}/packaging)
set(velko_compressed)
# The manual pages are written from each program's --help and the sections
# in packaging/*.1.tail that only a manual page has.
set(VELKO_MANPAGE_DATE "December 2026")
foreach(program velko-menu velko-menu-studio)
    set(page ${VELKO_COMPRESSED_DIR}/${program}.1)
    if(program STREQUAL "velko-menu")
        set(summary "render and check VELKO-OS firmware menus")
    else()
        set(summary "edit VELKO-OS menu sources beside their live device preview")
    endif()
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
            "-DSUMMARY=${summary}" -DVERSION=${PROJECT_VERSION} "-DDATE=${VELKO_MANPAGE_DATE}"
            -DEXTRA=${VELKO_PACKAGING_DIR}/${program}.1.tail -DOUTPUT=${page}
            -P ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
        COMMAND ${VELKO_GZIP} -9nkf ${page}
        DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
            ${VELKO_PACKAGING_DIR}/${program}.1.tail
        COMMENT "Writing the manual page of ${program} from its --help"
        VERBATIM)
    list(APPEND velko_compressed ${page}.gz)
endforeach()
foreach(source packaging/changelog README.md)
    get_filename_component(name ${source} NAME)
    set(copy ${VELKO_COMPRESSED_DIR}/${name})
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${copy}
        COMMAND ${VELKO_GZIP} -9nf ${copy}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source}
        COMMENT "Compressing ${source}"
        VERBATIM)
    list(APPEND velko_compressed ${copy}.gz)
endforeach()
add_custom_target(velko-packaging-files ALL DEPENDS ${velko_compressed})

install(FILES ${VELKO_COMPRESSED_DIR}/velko-menu.1.gz ${VELKO_COMPRESSED_DIR}/velko-menu-studio.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VELKO_COMPRESSED_DIR}/README.md.gz ${VELKO_COMPRESSED_DIR}/changelog.gz
    ${VELKO_PACKAGING_DIR}/copyright
    DESTINATION ${VELKO_DOCDIR})
install(FILES ${VELKO_PACKAGING_DIR}/velko-menu-studio.desktop
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${VELKO_PACKAGING_DIR}/velko-menu-studio.svg
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# Everything the install rules above take from the build: what to build before
# installing without building the tests too (CMAKE_SKIP_INSTALL_ALL_DEPENDENCY).
add_custom_target(velko-installables)
add_dependencies(velko-installables
    velko-menu velko-menu-studio velkohost VelkoMenuView velko-packaging-files)
if(TARGET VelkoMenuViewIde)
    add_dependencies(velko-installables VelkoMenuViewIde)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
