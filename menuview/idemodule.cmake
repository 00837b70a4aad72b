# VelkoMenuViewIde: the plug-in module for the real IDE (Debian package
# qtcreator), from the same sources and the same menuview library, linked
# against the IDE's own libraries instead of velkohost. Nothing here runs moc
# over host/include: the IDE exports those classes' meta objects itself.
# Sanitized builds skip it, since the IDE does not load the sanitizer runtime.
set(VELKO_IDE_LIBDIR /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/qtcreator
    CACHE PATH "Folder holding the IDE's libraries")
find_library(VELKO_IDE_EXTENSIONSYSTEM libExtensionSystem.so.9 PATHS ${VELKO_IDE_LIBDIR} NO_DEFAULT_PATH)
find_library(VELKO_IDE_UTILS libUtils.so.9 PATHS ${VELKO_IDE_LIBDIR} NO_DEFAULT_PATH)
find_library(VELKO_IDE_CORE libCore.so PATHS ${VELKO_IDE_LIBDIR}/plugins NO_DEFAULT_PATH)

if(VELKO_IDE_EXTENSIONSYSTEM AND VELKO_IDE_UTILS AND VELKO_IDE_CORE AND NOT VELKO_SANITIZE)
    add_library(VelkoMenuViewIde MODULE velkomenuviewplugin.h velkomenuviewplugin.cpp)
    target_include_directories(VelkoMenuViewIde PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
    target_link_libraries(VelkoMenuViewIde PRIVATE
        menuview ${VELKO_IDE_CORE} ${VELKO_IDE_EXTENSIONSYSTEM} ${VELKO_IDE_UTILS})
    # Every symbol must resolve against the IDE and Qt at link time: a
    # declaration in host/include that the IDE does not export fails here,
    # not when the IDE loads the module.
    target_link_options(VelkoMenuViewIde PRIVATE LINKER:-z,defs)
    # The IDE has its libraries loaded before any plug-in; the path serves
    # tools that open the module on their own, wherever it was copied to.
    set_target_properties(VelkoMenuViewIde PROPERTIES
        OUTPUT_NAME VelkoMenuView
        BUILD_RPATH "${VELKO_IDE_LIBDIR};${VELKO_IDE_LIBDIR}/plugins"
        LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/ide-plugins)
    message(STATUS "IDE libraries found: building VelkoMenuViewIde")
else()
    message(STATUS "IDE libraries not found or sanitized build: no VelkoMenuViewIde")
endif()
