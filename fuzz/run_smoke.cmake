# A short fuzz run for CTest. libFuzzer adds the inputs it finds to its first corpus folder
# and writes crash inputs beside its working folder, so both are fresh folders of the build
# tree and the seed corpus of the source tree is only read.
#   cmake -DFUZZER=<exe> -DWORK_DIR=<dir> -DSEEDS=<dir> -DOPTIONS="<flags>" -P run_smoke.cmake
foreach(var FUZZER WORK_DIR SEEDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_smoke.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/found ${WORK_DIR}/artifacts)
separate_arguments(options UNIX_COMMAND "${OPTIONS}")

execute_process(
  COMMAND ${FUZZER} ${options} -artifact_prefix=${WORK_DIR}/artifacts/
          ${WORK_DIR}/found ${SEEDS}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK_DIR}/artifacts")
endif()
