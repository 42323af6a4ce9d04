# Header-only libraries of the build machine for a WebAssembly build: nlohmann-json (the
# board file). The host's include folder as a whole must not reach the cross compiler, whose
# own C library headers it would hide, so the library's folder alone is copied into the build
# tree and a package configuration made for it there, for find_package to take.
find_path(PR_HOST_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include /usr/local/include
          NO_CMAKE_FIND_ROOT_PATH)
if(PR_HOST_NLOHMANN_INCLUDE)
    set(include_dir ${PROJECT_BINARY_DIR}/host-include)
    set(config_dir ${PROJECT_BINARY_DIR}/host-cmake/nlohmann_json)
    file(COPY ${PR_HOST_NLOHMANN_INCLUDE}/nlohmann DESTINATION ${include_dir})
    file(STRINGS ${PR_HOST_NLOHMANN_INCLUDE}/nlohmann/detail/abi_macros.hpp version_lines
         REGEX "#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) +[0-9]+")
    set(version "")
    foreach(line ${version_lines})
        string(REGEX REPLACE "^#define NLOHMANN_JSON_VERSION_[A-Z]+ +([0-9]+).*" "\\1" part "${line}")
        list(APPEND version ${part})
    endforeach()
    list(JOIN version "." version)
    file(WRITE ${config_dir}/nlohmann_jsonConfig.cmake
"if(NOT TARGET nlohmann_json::nlohmann_json)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES \"${include_dir}\")
endif()
")
    include(CMakePackageConfigHelpers)
    write_basic_package_version_file(${config_dir}/nlohmann_jsonConfigVersion.cmake
        VERSION ${version} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
    set(nlohmann_json_DIR ${config_dir} CACHE PATH "" FORCE)
endif()
