# The runner's smoke run, for ctest: bench_runner --quick must end well and
# print a table with rows for every benchmark, none of them "not run".
# Timings are not looked at. Called with -DEMULATOR (how Windows programs
# run here), -DRUNNER, -DTRACK, -DWORK, -DPLAYER and -DBASELINE (Unix paths).
set(benchmarks "1 full speed" "2 pacing" "3 under load" "4 CPU" "5 memory" "6 start-up" "7 frames and track")

# Wine sees the file system through drive Z:.
function(windows_path variable path)
  string(REPLACE "/" "\\" path "${path}")
  set(${variable} "Z:${path}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${WORK})
foreach(name TRACK WORK PLAYER BASELINE)
  windows_path(${name} "${${name}}")
endforeach()
execute_process(
  COMMAND ${EMULATOR} ${RUNNER} --quick --track ${TRACK} ${WORK} ${PLAYER} ${BASELINE}
  OUTPUT_VARIABLE table
  RESULT_VARIABLE status)
message("${table}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "bench_runner ended with ${status}")
endif()
foreach(benchmark IN LISTS benchmarks)
  string(FIND "${table}" "| ${benchmark} | " at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no row for benchmark \"${benchmark}\"")
  endif()
endforeach()
string(FIND "${table}" "| not run: " at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "a benchmark was not run")
endif()
