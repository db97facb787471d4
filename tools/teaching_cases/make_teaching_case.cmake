# Writes one teaching case: cmake -DRUNNER=velta-morvane-cli -DCASE=name -DOUT=file.spi -P this.
# Every run must be valid: a file that opens on "dead" teaches nothing.

include(${CMAKE_CURRENT_LIST_DIR}/cases.cmake)

if(NOT DEFINED ${CASE}_runs)
  message(FATAL_ERROR "no teaching case named ${CASE}")
endif()

get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
set(previous "")
set(step 0)
foreach(run IN LISTS ${CASE}_runs)
  math(EXPR step "${step} + 1")
  set(record ${OUT}.part${step})
  separate_arguments(run_options UNIX_COMMAND "${run}")
  set(from_options "")
  if(previous)
    set(from_options --from ${previous})
  endif()
  execute_process(
    COMMAND ${RUNNER} run ${from_options} ${run_options} --out ${record}
    OUTPUT_VARIABLE report
    RESULT_VARIABLE failed)
  if(failed OR NOT report MATCHES "^Run 1: valid")
    message(FATAL_ERROR "${CASE}: the run \"${run}\" is not valid:\n${report}")
  endif()
  if(previous)
    file(REMOVE ${previous})
  endif()
  set(previous ${record})
endforeach()
file(RENAME ${previous} ${OUT})
