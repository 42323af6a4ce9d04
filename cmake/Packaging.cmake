# Installation into the platform's standard places, and the Debian package.
#
# Linux and other freedesktop systems get the program in bin, a desktop entry, an AppStream
# metainfo file, the icon in the hicolor theme and a manual page. On macOS the bundle is
# installed; on Windows the executable. There the Qt runtime is added with macdeployqt or
# windeployqt (docs/INSTALL.md). Names, version and icon sizes come from cmake/Identity.cmake.

include(GNUInstallDirs)

# Redraws the icon's PNG sizes from its SVG drawings (by hand, when a drawing changes).
add_custom_target(icons
    COMMAND ${PROJECT_SOURCE_DIR}/resources/icons/make_icons.sh ${PR_APP_ID} ${PR_ICON_SIZES}
    VERBATIM)

# The program ships no libraries of its own and finds Qt where the system keeps it, so the
# installed binary needs no run path (qt_standard_project_setup would add $ORIGIN/../lib).
set_target_properties(parallel-ratio PROPERTIES INSTALL_RPATH "")
install(TARGETS parallel-ratio
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    BUNDLE DESTINATION .)

# The desktop entry and metainfo, named after the id (on every system, for the tests).
set(generated ${PROJECT_BINARY_DIR}/generated)
set(resources ${PROJECT_SOURCE_DIR}/resources)
# The board file's format name, extension and media type are the core's (BoardFile.h).
file(STRINGS ${PROJECT_SOURCE_DIR}/core/board/BoardFile.h _pr_board_lines
     REGEX "constexpr std::string_view k(Format|Extension|MediaType) = ")
foreach(_pr_line IN LISTS _pr_board_lines)
    string(REGEX MATCH "k(Format|Extension|MediaType) = \"([^\"]+)\"" _pr_match "${_pr_line}")
    string(TOUPPER "${CMAKE_MATCH_1}" _pr_which)
    set(PR_BOARD_${_pr_which} "${CMAKE_MATCH_2}")
endforeach()
set(PR_BOARD_MEDIA_TYPE ${PR_BOARD_MEDIATYPE})
if(NOT PR_BOARD_FORMAT OR NOT PR_BOARD_EXTENSION OR NOT PR_BOARD_MEDIA_TYPE)
    message(FATAL_ERROR "core/board/BoardFile.h lacks the board file's format, extension or media type")
endif()
configure_file(${resources}/desktop/board-mime.xml.in ${generated}/${PR_APP_ID}.xml @ONLY)
configure_file(${resources}/desktop/app.desktop.in ${generated}/${PR_APP_ID}.desktop @ONLY)
configure_file(${resources}/desktop/app.metainfo.xml.in ${generated}/${PR_APP_ID}.metainfo.xml @ONLY)

if(UNIX AND NOT APPLE)
    # A stripped install (cmake --install --strip, and CPack) also drops the sections that
    # only record the compiler, as Debian's own packages are stripped.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                                    --remove-section=.note
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${PR_APP_NAME}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()")

    install(FILES ${generated}/${PR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${generated}/${PR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # Debian's shared-mime-info trigger updates the database when the package is installed.
    install(FILES ${generated}/${PR_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
    install(FILES ${resources}/icons/${PR_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size IN LISTS PR_ICON_SIZES)
        install(FILES ${resources}/icons/hicolor/${size}x${size}/apps/${PR_APP_ID}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()

    # The manual page and Debian's changelog, compressed as Debian wants them: gzip -9 with
    # no name or time stamp inside, so that the same sources give the same bytes.
    find_program(PR_GZIP gzip REQUIRED)
    configure_file(${PROJECT_SOURCE_DIR}/docs/parallel-ratio.1.in ${generated}/${PR_APP_NAME}.1 @ONLY)
    configure_file(${resources}/debian/changelog.in ${generated}/changelog.Debian @ONLY)
    configure_file(${resources}/debian/copyright.in ${generated}/copyright @ONLY)
    set(compressed)
    foreach(file ${PR_APP_NAME}.1 changelog.Debian)
        add_custom_command(OUTPUT ${generated}/${file}.gz
            COMMAND ${PR_GZIP} -9n -c ${generated}/${file} > ${generated}/${file}.gz
            DEPENDS ${generated}/${file}
            VERBATIM)
        list(APPEND compressed ${generated}/${file}.gz)
    endforeach()
    add_custom_target(pr_compressed_docs ALL DEPENDS ${compressed})
    install(FILES ${generated}/${PR_APP_NAME}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # Debian keeps a package's licence as /usr/share/doc/<package>/copyright, in its
    # machine-readable format, and the package's history beside it.
    install(FILES ${generated}/copyright ${generated}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${resources}/debian/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${PR_APP_NAME})
else()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The package. dpkg-shlibdeps finds the shared libraries and their versions in the packaged
# program; listed by hand are only what it loads at run time without linking it: the fonts and Qt's
# translations.
# (The Qt plugins it loads, xcb and JPEG, are in libqt6gui6, which it links.) The package
# test compares the result with what the program needs.
set(PR_DEB_DEPENDS
    # IPAPGothic and IPAPMincho, the faces chosen where the Windows ones are missing.
    "fonts-ipafont-gothic"
    "fonts-ipafont-mincho"
    # P052 Italic, the face of the line letters ℓ, m, p, q, r.
    "fonts-urw-base35"
    # qtbase_ja.qm: Qt's dialogs (open, save, print) in Japanese.
    "qt6-translations-l10n")
list(JOIN PR_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without it the program runs on Wayland desktops through XWayland.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)

set(CPACK_PACKAGE_NAME ${PR_APP_NAME})
set(CPACK_PACKAGE_VENDOR "parallel-ratio developers")
set(CPACK_PACKAGE_CONTACT "parallel-ratio developers <developers@parallel-ratio.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "figure for the lesson on parallel lines and the ratio of segments")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/cmake-build[^/]*/")

set(CPACK_DEBIAN_PACKAGE_NAME ${PR_APP_NAME})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Modes as dpkg expects them whatever the umask of the build: 0755 for folders and the
# program, 0644 for the rest.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"A figure for the middle-school geometry lesson on parallel lines and the
ratio of segments (平行線と線分の比), made to be projected in class: three
horizontal parallels cut by two slanted transversals, in white on a
blackboard green.
.
A copy of one transversal slides sideways with the mouse, a finger or a pen,
and the transversals can be prolonged to their meeting point. Pens write on
the figure and an eraser wipes it; construction lines join the labelled
points. The window scales to any size, full screen included.")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
endif()
include(CPack)
