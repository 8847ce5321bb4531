# Writes the seed corpora of the fuzz targets into OUT: real clips from the clip generator
# plus synthetic records and framings. Fails loudly when any generator fails.
foreach(var CLIPGEN SEEDER OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "GenerateSeeds.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}/extract" "${OUT}/decode")

set(clips
  "--frames 8 --size 64x64 --seed 1"
  "--frames 6 --size 64x64 --faststart --seed 2"
  "--frames 6 --size 64x64 --bad-marker 2 --bad-record 3 --no-seq 4 --other-sei 2 --seed 3"
  "--frames 4 --size 64x64 --no-telemetry")
set(index 0)
foreach(clipArgs IN LISTS clips)
  separate_arguments(args UNIX_COMMAND "${clipArgs}")
  execute_process(COMMAND "${CLIPGEN}" ${args} "${OUT}/extract/clip-${index}.mp4"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "veldrin-clipgen ${clipArgs} failed (${result}): ${error}")
  endif()
  math(EXPR index "${index} + 1")
endforeach()

execute_process(COMMAND "${SEEDER}" "${OUT}/decode" "${OUT}/extract" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "seed writer failed (${result})")
endif()
