# Packages of the install: a ZIP for Windows; for Debian, one package per
# install component, named as Debian names them, with no underscore. CPack
# writes its configuration for the whole build tree, so only a top-level build
# packages.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_CONTACT "The rod_cutting project")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Programs built against this version also run with any later one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# Each package's description starts with a synopsis of its own, so CPack must
# not put the project's in front of both.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")

# The architecture of the target, not of this machine: Debian's name for the
# compiler's multiarch triplet, where dpkg-architecture is there to give it.
find_program(DPKG_ARCHITECTURE dpkg-architecture)
if(DPKG_ARCHITECTURE AND CMAKE_LIBRARY_ARCHITECTURE)
  execute_process(COMMAND "${DPKG_ARCHITECTURE}" -t "${CMAKE_LIBRARY_ARCHITECTURE}" -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()

set(CPACK_DEBIAN_ROD_CUTTING_RUNTIME_PACKAGE_NAME rod-cutting)
set(CPACK_DEBIAN_ROD_CUTTING_RUNTIME_PACKAGE_SECTION math)
string(JOIN "\n" CPACK_COMPONENT_ROD_CUTTING_RUNTIME_DESCRIPTION
  "best revenue for cutting a rod, and how to cut it"
  "rod_cutting_solve reads a price list on standard input and prints the best"
  "revenue for a rod of any length up to 1000000 and the pieces of a best"
  "cutting. rod_cutting solves one built-in instance, a rod of length 10,"
  "twice: by an exhaustive search and by a memoized recursion.")
set(CPACK_DEBIAN_ROD_CUTTING_DEVELOPMENT_PACKAGE_NAME librod-cutting-dev)
set(CPACK_DEBIAN_ROD_CUTTING_DEVELOPMENT_PACKAGE_SECTION libdevel)
string(JOIN "\n" CPACK_COMPONENT_ROD_CUTTING_DEVELOPMENT_DESCRIPTION
  "C++ library for the best revenue of cutting a rod - development files"
  "The header, library, CMake package and pkg-config file of rod_cutting: C++"
  "functions that find the best revenue for a rod of any length that the"
  "caller's price table covers, and how to cut it.")

if(BUILD_SHARED_LIBS)
  # The shared library alone, named for its SONAME, so that a later one can be
  # installed beside it, and one of each architecture too.
  set(library_package "librod-cutting${PROJECT_VERSION_MAJOR}")
  set(CPACK_DEBIAN_ROD_CUTTING_LIBRARY_PACKAGE_NAME "${library_package}")
  set(CPACK_DEBIAN_ROD_CUTTING_LIBRARY_PACKAGE_SECTION libs)
  string(JOIN "\n" CPACK_COMPONENT_ROD_CUTTING_LIBRARY_DESCRIPTION
    "C++ library for the best revenue of cutting a rod"
    "The shared library of rod_cutting: C++ functions that find the best"
    "revenue for a rod of any length that the caller's price table covers,"
    "and how to cut it.")
  set(CPACK_COMPONENT_ROD_CUTTING_RUNTIME_DEPENDS rod_cutting_library)
  set(CPACK_COMPONENT_ROD_CUTTING_DEVELOPMENT_DEPENDS rod_cutting_library)
  # Until 1.4.1 the library came in rod-cutting.
  set(CPACK_DEBIAN_ROD_CUTTING_LIBRARY_PACKAGE_BREAKS "rod-cutting (<< 1.4.1)")
  set(CPACK_DEBIAN_ROD_CUTTING_LIBRARY_PACKAGE_REPLACES "rod-cutting (<< 1.4.1)")
  # dpkg-shlibdeps, run in each component's staging folder, finds the
  # program's library in the library's, under /usr as CPack packs it.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "../rod_cutting_library/usr/${CMAKE_INSTALL_LIBDIR}")
  # Dependents ask for the version that brought the symbols they use. dpkg runs
  # ldconfig once for every package that activates its trigger.
  configure_file("${PROJECT_SOURCE_DIR}/rod_cutting/rod_cutting.symbols.in" debian/symbols @ONLY)
  file(WRITE "${PROJECT_BINARY_DIR}/debian/triggers" "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_ROD_CUTTING_LIBRARY_PACKAGE_CONTROL_EXTRA
      "${PROJECT_BINARY_DIR}/debian/triggers;${PROJECT_BINARY_DIR}/debian/symbols")
  # CPack writes no Multi-Arch field: it is added, once they are built, to the
  # library's packages, where they install into the architecture's own libdir.
  if(CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR MATCHES "/${CMAKE_LIBRARY_ARCHITECTURE}$")
    set(multi_arch_packages "${library_package}" librod-cutting-dev)
  endif()
  file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/debian/multi_arch.cmake" CONTENT [==[
# Run by CPack once it has built the packages: the library's two packages,
# which hold nothing that differs between architectures but in the
# architecture's own folders, can be installed for several at once.
set(multi_arch_packages "@multi_arch_packages@")
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${deb}" NAME)
  string(REGEX REPLACE "_.*" "" name "${name}")
  if(name IN_LIST multi_arch_packages)
    set(dir "${deb}.d")
    file(REMOVE_RECURSE "${dir}")
    execute_process(COMMAND dpkg-deb -R "${deb}" "${dir}" COMMAND_ERROR_IS_FATAL ANY)
    file(READ "${dir}/DEBIAN/control" control)
    file(WRITE "${dir}/DEBIAN/control" "Multi-Arch: same\n${control}")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${dir}" "${deb}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${dir}")
  endif()
endforeach()
]==] @ONLY)
  set(CPACK_POST_BUILD_SCRIPTS "${PROJECT_BINARY_DIR}/debian/multi_arch.cmake")
endif()
include(CPack)
