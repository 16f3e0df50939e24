# Installs the string library for other projects: the static library, its
# public headers only (the internal helpers stay behind), a CMake package
# (find_package(textstring CONFIG) gives textstring::textstring) and a
# pkg-config file. The launcher, tests and tools are never installed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/textstring)

install(TARGETS textstring EXPORT textstringTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The consumer writes #include "strings/TextString.h", as inside this tree.
install(FILES ${PROJECT_SOURCE_DIR}/strings/ObjectBase.h ${PROJECT_SOURCE_DIR}/strings/TextString.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/strings)
install(FILES ${PROJECT_SOURCE_DIR}/paths/PathString.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/paths)

install(EXPORT textstringTargets NAMESPACE textstring:: DESTINATION ${_package_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/textstringConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/textstringConfig.cmake
                              INSTALL_DESTINATION ${_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/textstringConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/textstringConfig.cmake
              ${PROJECT_BINARY_DIR}/textstringConfigVersion.cmake
        DESTINATION ${_package_dir})

# pkg-config: what the CMake target carries, in flags.
set(_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH TEXTSTRING_PC_TO_PREFIX /prefix/${_pc_dir} /prefix)
set(TEXTSTRING_PC_CFLAGS "")
set(TEXTSTRING_PC_LIBS "")
if(TEXTSTRING_SANITIZE)
  list(JOIN TEXTSTRING_SANITIZE_FLAGS " " TEXTSTRING_PC_CFLAGS)
  set(TEXTSTRING_PC_LIBS ${TEXTSTRING_PC_CFLAGS})
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/textstring.pc.in ${PROJECT_BINARY_DIR}/textstring.pc
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/textstring.pc DESTINATION ${_pc_dir})
