# Installation into the platform's standard places, and the Debian package.
#
# Linux and other freedesktop systems get the program in bin, a desktop entry, an AppStream
# metainfo file and the icon in the hicolor theme. On macOS the bundle is installed; on
# Windows the executable. There the Qt runtime is added with macdeployqt or windeployqt
# (docs/INSTALL.md).

include(GNUInstallDirs)

set(PR_APP_ID io.github.parallel_ratio.ParallelRatio)
set(PR_ICON_SIZES 16 32 48 64 128 256)

# The program ships no libraries of its own and finds Qt where the system keeps it, so the
# installed binary needs no run path (qt_standard_project_setup would add $ORIGIN/../lib).
set_target_properties(parallel-ratio PROPERTIES INSTALL_RPATH "")
install(TARGETS parallel-ratio
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    BUNDLE DESTINATION .)

if(UNIX AND NOT APPLE)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${PR_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${PR_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/${PR_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size IN LISTS PR_ICON_SIZES)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/${PR_APP_ID}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    # Debian keeps a package's licence as /usr/share/doc/<package>/copyright.
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR}
            RENAME copyright)
else()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The package. Its dependencies are listed by hand rather than computed, and the package
# test compares them with what dpkg-shlibdeps finds in the binary and with the packages
# that hold the Qt plugins and fonts the program loads at run time.
set(PR_DEB_DEPENDS
    "libc6 (>= 2.34)"
    "libgcc-s1 (>= 3.0)"
    "libstdc++6 (>= 12)"
    # Start-up reads the font configuration itself, beside Qt.
    "libfontconfig1 (>= 2.12.6)"
    "libqt6core6 (>= 6.4.0)"
    # Also holds the xcb platform plugin and the JPEG image plugin the letters need.
    "libqt6gui6 (>= 6.4.0)"
    "libqt6widgets6 (>= 6.4.0)"
    # IPAPGothic and IPAPMincho, the faces chosen where the Windows ones are missing.
    "fonts-ipafont-gothic"
    "fonts-ipafont-mincho")
list(JOIN PR_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Without it the program runs on Wayland desktops through XWayland.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)

set(CPACK_PACKAGE_NAME parallel-ratio)
set(CPACK_PACKAGE_VENDOR "parallel-ratio developers")
set(CPACK_PACKAGE_CONTACT "parallel-ratio developers <developers@parallel-ratio.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "figure for the lesson on parallel lines and the ratio of segments")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/cmake-build[^/]*/")

set(CPACK_DEBIAN_PACKAGE_NAME parallel-ratio)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"A figure for the middle-school geometry lesson on parallel lines and the
ratio of segments (平行線と線分の比), made to be projected in class: three
horizontal parallels cut by two slanted transversals, in white on a
blackboard green. A copy of one transversal slides sideways with the mouse,
the transversals can be prolonged to their meeting point, pens write on the
figure and construction lines join the labelled points.")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
endif()
include(CPack)
