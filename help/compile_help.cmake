# cmake -DCHMCMD=<chmcmd> -DSOURCE_DIR=<help sources> -DWORK_DIR=<scratch> -DOUTPUT=<Vantoric.chm> -P compile_help.cmake
# Compiles the help project in a scratch copy, so that the source folder stays
# clean, and fails on any warning: chmcmd reports a broken link or a missing
# page as a warning and still exits with 0.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(GLOB _sources "${SOURCE_DIR}/*.htm" "${SOURCE_DIR}/*.hh?" "${SOURCE_DIR}/*.css" "${SOURCE_DIR}/*.h")
file(COPY ${_sources} DESTINATION "${WORK_DIR}")
execute_process(COMMAND "${CHMCMD}" Vantoric.hhp WORKING_DIRECTORY "${WORK_DIR}"
                RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0 OR _out MATCHES "(Warning|Error)" OR NOT EXISTS "${WORK_DIR}/Vantoric.chm")
  message(FATAL_ERROR "chmcmd failed (exit ${_rc}):\n${_out}${_err}")
endif()
file(RENAME "${WORK_DIR}/Vantoric.chm" "${OUTPUT}")
