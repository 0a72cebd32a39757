# Takes the Windows library as a user would: installs it, shared (this build)
# and static (built here from the sources), cross-builds tests/consumer as
# C++17 against each install through find_package, and runs it under the
# emulator. The DLL exports the two solvers alone, and the consumer's compiler
# declares them dllimport for the DLL and plainly for the static library.
# Usage: cmake -Dbuild=DIR -Dsource=DIR -Demulator=COMMAND -P windows_package_test.cmake
set(work "${build}/windows_package_test")
file(REMOVE_RECURSE "${work}")
set(toolchain "${source}/cmake/mingw-w64.cmake")
set(solvers _ZN11rod_cutting16memoized_revenueEPKiPii _ZN11rod_cutting19brute_force_revenueEPKii)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The symbols an object or library lists after a given nm type letter.
function(symbols file type result)
  run(x86_64-w64-mingw32-nm "${file}")
  string(REGEX MATCHALL " ${type} [^\n]*" found "${out}")
  list(TRANSFORM found REPLACE "^ ${type} " "")
  list(SORT found)
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

# Installs a build into a prefix, builds the consumer against it into the same
# prefix, runs it, and prints what its object imports from a DLL.
function(consume library_build kind)
  set(prefix "${work}/${kind}")
  run("${CMAKE_COMMAND}" --install "${library_build}" --prefix "${prefix}")
  run("${CMAKE_COMMAND}" -S "${source}/tests/consumer" -B "${work}/consumer-${kind}" -G Ninja
      --toolchain "${toolchain}" "-DCMAKE_FIND_ROOT_PATH=${prefix}" "-DCMAKE_INSTALL_PREFIX=${prefix}"
      "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Werror")
  run("${CMAKE_COMMAND}" --build "${work}/consumer-${kind}")
  run("${CMAKE_COMMAND}" --install "${work}/consumer-${kind}")
  # Beside the program, as a Windows user installs a DLL.
  run(${emulator} "${prefix}/bin/consumer.exe")
  if(NOT out STREQUAL "30 30 201703\n")
    message(FATAL_ERROR "the consumer of the ${kind} library printed '${out}', expected '30 30 201703'")
  endif()
  symbols("${work}/consumer-${kind}/CMakeFiles/consumer.dir/main.cpp.obj" U imported)
  list(FILTER imported INCLUDE REGEX "^__imp__ZN11rod_cutting")
  message("${kind}: the consumer printed 30 30 201703; it imports [${imported}]")
  set(imported "${imported}" PARENT_SCOPE)
endfunction()

consume("${build}" shared)
list(TRANSFORM solvers PREPEND __imp_ OUTPUT_VARIABLE dll_imports)
if(NOT imported STREQUAL dll_imports)
  message(FATAL_ERROR "the consumer of the DLL should import both solvers")
endif()
run(x86_64-w64-mingw32-objdump -p "${work}/shared/bin/librod_cutting.dll")
# The export table's names follow its heading, one per line, up to a blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${out}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]*" exports "${table}")
list(TRANSFORM exports REPLACE "^\\[ *[0-9]+\\] " "")
list(SORT exports)
if(NOT exports STREQUAL solvers)
  message(FATAL_ERROR "the DLL exports [${exports}], not the two solvers alone")
endif()
message("the DLL exports [${exports}]")

run("${CMAKE_COMMAND}" -S "${source}" -B "${work}/static-build" -G Ninja --toolchain "${toolchain}"
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF)
run("${CMAKE_COMMAND}" --build "${work}/static-build")
consume("${work}/static-build" static)
if(NOT imported STREQUAL "")
  message(FATAL_ERROR "the consumer of the static library imports from a DLL")
endif()
file(REMOVE_RECURSE "${work}")
