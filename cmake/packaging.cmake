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

set(CPACK_DEBIAN_ROD_CUTTING_RUNTIME_PACKAGE_NAME rod-cutting)
set(CPACK_DEBIAN_ROD_CUTTING_RUNTIME_PACKAGE_SECTION math)
string(JOIN "\n" CPACK_COMPONENT_ROD_CUTTING_RUNTIME_DESCRIPTION
  "best revenue for cutting a rod, by exhaustive search and by memoization"
  "The rod_cutting program solves one built-in instance: a rod of length 10,"
  "with prices for pieces of length 1 to 10. It prints the best revenue twice,"
  "as found by an exhaustive search and by a memoized recursion.")
set(CPACK_DEBIAN_ROD_CUTTING_DEVELOPMENT_PACKAGE_NAME librod-cutting-dev)
set(CPACK_DEBIAN_ROD_CUTTING_DEVELOPMENT_PACKAGE_SECTION libdevel)
string(JOIN "\n" CPACK_COMPONENT_ROD_CUTTING_DEVELOPMENT_DESCRIPTION
  "C++ library for the best revenue of cutting a rod - development files"
  "The header, library, CMake package and pkg-config file of rod_cutting: C++"
  "functions that find the best revenue for a rod of any length that the"
  "caller's price table covers, and how to cut it.")

if(BUILD_SHARED_LIBS)
  set(CPACK_COMPONENT_ROD_CUTTING_DEVELOPMENT_DEPENDS rod_cutting_runtime)
  # dpkg runs ldconfig once for every package that activates its trigger.
  file(WRITE "${PROJECT_BINARY_DIR}/debian/triggers" "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_ROD_CUTTING_RUNTIME_PACKAGE_CONTROL_EXTRA "${PROJECT_BINARY_DIR}/debian/triggers")
endif()
include(CPack)
