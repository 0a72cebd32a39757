# Runs the Windows program, under an emulator when cross-built, and checks its
# whole standard output byte for byte, an empty standard error and status 0.
# Usage: cmake -Dprogram=EXE [-Demulator=COMMAND] -P windows_report_test.cmake
string(ASCII 13 cr)
string(HEX "Brute Force : 30${cr}\nDynamic Programming : 30${cr}\n" expected)

# Only files keep the bytes: CMake's variables would turn CR LF into LF.
set(out "${CMAKE_CURRENT_BINARY_DIR}/report.out")
set(err "${CMAKE_CURRENT_BINARY_DIR}/report.err")
execute_process(COMMAND ${emulator} "${program}" RESULT_VARIABLE status OUTPUT_FILE "${out}"
                ERROR_FILE "${err}")
file(READ "${out}" actual HEX)
file(READ "${err}" errors)

string(LENGTH "${expected}" expected_digits)
string(LENGTH "${actual}" actual_digits)
math(EXPR expected_bytes "${expected_digits} / 2")
math(EXPR actual_bytes "${actual_digits} / 2")
if(NOT status STREQUAL "0" OR NOT actual STREQUAL expected OR NOT errors STREQUAL "")
  message(FATAL_ERROR "exit status ${status}, expected 0\n"
                      "standard output: ${actual_bytes} bytes, expected ${expected_bytes}\n"
                      "  expected: ${expected}\n  actual:   ${actual}\n"
                      "standard error: [${errors}]")
endif()
message("the report: ${actual_bytes} bytes with CR LF line ends, status 0")
