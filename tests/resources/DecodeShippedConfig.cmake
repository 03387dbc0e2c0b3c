# Decodes the shipped settings file with the real pastrixctl and compares the result with the
# template it was made from, byte for byte. A cross build's pastrixctl runs in its EMULATOR.
execute_process(
    COMMAND ${EMULATOR} ${PASTRIXCTL} config decode ${CONFIG}
    OUTPUT_FILE ${DECODED}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "pastrixctl config decode ${CONFIG} failed: ${result}")
endif()
execute_process(
    COMMAND ${CMAKE_COMMAND} -E compare_files ${DECODED} ${TEMPLATE}
    RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${CONFIG} does not decode to ${TEMPLATE}")
endif()
file(READ ${CONFIG} scrambled HEX)
file(READ ${TEMPLATE} plain HEX)
if(scrambled STREQUAL plain)
    message(FATAL_ERROR "${CONFIG} is not scrambled")
endif()
