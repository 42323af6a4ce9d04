# The program's identity, written here once: the application id that names the desktop
# entry, the metainfo and the icon; the program's name; the release date of the project's
# version; the pixel sizes the icon is drawn in. The installed files (configured from their
# templates), the Debian package and the C++ code (the generated AppIdentity.h) take them from
# here.

set(PR_APP_ID io.github.parallel_ratio.ParallelRatio)
# The command, the package, the settings' folder and the X11 window class.
set(PR_APP_NAME ${PROJECT_NAME})
# The day PROJECT_VERSION was released, YYYY-MM-DD: metainfo, Debian changelog, manual page.
set(PR_RELEASE_DATE 2026-12-08)
# resources/icons/hicolor/<size>x<size>/apps/<id>.png exists for each.
set(PR_ICON_SIZES 16 32 48 64 128 256)
# The sizes handed to the window system with the window; larger views take the theme icon.
set(PR_WINDOW_ICON_SIZES 16 32 48 64)

# Derived names. A macOS bundle identifier allows no '_'; the organisation domain is the id's
# first three parts reversed (parallel_ratio.github.io).
string(REPLACE "_" "-" PR_BUNDLE_ID ${PR_APP_ID})
string(TOUPPER ${PR_APP_NAME} PR_APP_NAME_UPPER) # a manual page's title
string(REPLACE "." ";" _pr_id_parts ${PR_APP_ID})
list(SUBLIST _pr_id_parts 0 3 _pr_domain_parts)
list(REVERSE _pr_domain_parts)
list(JOIN _pr_domain_parts "." PR_ORGANIZATION_DOMAIN)

# The release date as Debian's changelog writes it (RFC 5322, "Tue, 08 Dec 2026 00:00:00
# +0000"); the weekday by Zeller's congruence, since CMake formats only the current time.
string(REGEX MATCH "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$" _pr_date "${PR_RELEASE_DATE}")
if(NOT _pr_date)
    message(FATAL_ERROR "PR_RELEASE_DATE must be YYYY-MM-DD, not '${PR_RELEASE_DATE}'")
endif()
math(EXPR _pr_y "${CMAKE_MATCH_1}")
math(EXPR _pr_m "1${CMAKE_MATCH_2} - 100") # no leading zero, which math() reads as octal
math(EXPR _pr_d "1${CMAKE_MATCH_3} - 100")
set(_pr_zy ${_pr_y})
set(_pr_zm ${_pr_m})
if(_pr_zm LESS 3)
    math(EXPR _pr_zm "${_pr_zm} + 12")
    math(EXPR _pr_zy "${_pr_zy} - 1")
endif()
math(EXPR _pr_wd "(${_pr_d} + (13 * (${_pr_zm} + 1)) / 5 + ${_pr_zy} + ${_pr_zy} / 4 - ${_pr_zy} / 100 + ${_pr_zy} / 400) % 7")
set(_pr_weekdays Sat Sun Mon Tue Wed Thu Fri)
list(GET _pr_weekdays ${_pr_wd} _pr_weekday)
set(_pr_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR _pr_mi "${_pr_m} - 1")
list(GET _pr_months ${_pr_mi} _pr_month)
set(PR_RELEASE_DATE_RFC5322 "${_pr_weekday}, ${CMAKE_MATCH_3} ${_pr_month} ${_pr_y} 00:00:00 +0000")
# The manual page's footer date, e.g. "December 2026".
set(_pr_month_names January February March April May June July August September October
    November December)
list(GET _pr_month_names ${_pr_mi} _pr_month_name)
set(PR_RELEASE_MONTH "${_pr_month_name} ${_pr_y}")

# AppIdentity.h: the same values for C++ (namespace pr::identity).
list(JOIN PR_ICON_SIZES ", " PR_ICON_SIZES_CXX)
list(JOIN PR_WINDOW_ICON_SIZES ", " PR_WINDOW_ICON_SIZES_CXX)
configure_file(${CMAKE_CURRENT_LIST_DIR}/AppIdentity.h.in
               ${PROJECT_BINARY_DIR}/generated/AppIdentity.h @ONLY)
add_library(pr_identity INTERFACE)
target_include_directories(pr_identity INTERFACE ${PROJECT_BINARY_DIR}/generated)
