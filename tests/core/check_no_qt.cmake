# Fails when a file under DIR includes a Qt header: the core is standard C++ only.
# Usage: cmake -DDIR=<core dir> -P check_no_qt.cmake
file(GLOB_RECURSE sources "${DIR}/*.h" "${DIR}/*.cpp" "${DIR}/CMakeLists.txt")
set(offenders "")
foreach(f IN LISTS sources)
    # Qt's headers: module paths (QtCore/...), classes (QString, QRgb) and the lower-case
    # ones (qglobal.h); the core's own QBColor.h is none of them.
    file(STRINGS "${f}" hits REGEX
         "^[ \t]*#[ \t]*include[ \t]*[<\"](Qt|Q[A-Z][a-z]|q[a-z0-9]+\\.h)|Qt6::|find_package\\(Qt")
    if(hits)
        list(APPEND offenders "${f}: ${hits}")
    endif()
endforeach()
list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "no sources found under ${DIR}")
endif()
if(offenders)
    list(JOIN offenders "\n" text)
    message(FATAL_ERROR "Qt in the core:\n${text}")
endif()
message(STATUS "${count} files under ${DIR}, none uses Qt")
