# Runs one libFuzzer binary for a bounded time on a writable copy of its seed corpus, so the
# generated seeds stay as they are and new inputs stay inside the build folder.
foreach(var FUZZER SEEDS CORPUS SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunFuzzer.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${CORPUS}")
file(COPY "${SEEDS}/" DESTINATION "${CORPUS}")
get_filename_component(artifacts "${CORPUS}" DIRECTORY)
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 -artifact_prefix=${artifacts}/ "${CORPUS}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a failure (${result}); see the crash file in ${artifacts}")
endif()
