# Data generation: each generator registers one step that writes its share of build/data.
# A step reruns when its tool or any of its declared inputs changes.
set(OMBRIVALE_DATA_DIR ${CMAKE_BINARY_DIR}/data)
set_property(GLOBAL PROPERTY OMBRIVALE_DATA_STAMPS "")
set_property(GLOBAL PROPERTY OMBRIVALE_DATA_TARGETS "")

# ombrivale_data_step(NAME TOOL <target> [ARGS ...] [DEPENDS files...])
# The tool is run as: <tool> ARGS...  (use ${OMBRIVALE_DATA_DIR} in ARGS for the output folder)
function(ombrivale_data_step name)
  cmake_parse_arguments(A "" "TOOL" "ARGS;DEPENDS" ${ARGN})
  set(stamp ${CMAKE_BINARY_DIR}/stamps/${name}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${OMBRIVALE_DATA_DIR} ${CMAKE_BINARY_DIR}/stamps
    COMMAND $<TARGET_FILE:${A_TOOL}> ${A_ARGS}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${A_TOOL} ${A_DEPENDS}
    COMMENT "Generating data: ${name}"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY OMBRIVALE_DATA_STAMPS ${stamp})
  # The command's output is only visible in this folder, so the step gets a target here for `data` to wait on.
  add_custom_target(data_${name} DEPENDS ${stamp})
  set_property(GLOBAL APPEND PROPERTY OMBRIVALE_DATA_TARGETS data_${name})
endfunction()
