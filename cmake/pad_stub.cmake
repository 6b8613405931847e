# Checks the linked stub against the stub length, reports its size, and pads
# it with zero bytes to exactly that length (the loader ignores bytes after
# the last section). The unpadded size is kept beside it for `make size`.

# The stub length is defined once, as kStubLength in the package format header.
file(STRINGS "${FORMAT_HEADER}" length_line REGEX "kStubLength = [0-9]+")
string(REGEX MATCH "kStubLength = [0-9]+" length_line "${length_line}")
string(REGEX MATCH "[0-9]+" STUB_LENGTH "${length_line}")
if(NOT STUB_LENGTH)
  message(FATAL_ERROR "${FORMAT_HEADER}: no kStubLength definition")
endif()

file(SIZE "${STUB}" unpadded)
get_filename_component(name "${STUB}" NAME)
if(unpadded GREATER STUB_LENGTH)
  message(FATAL_ERROR "${name}: the linked image is ${unpadded} bytes, over the ${STUB_LENGTH}-byte stub length")
endif()
math(EXPR headroom "${STUB_LENGTH} - ${unpadded}")
execute_process(COMMAND truncate -s ${STUB_LENGTH} "${STUB}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${name}: could not pad the image")
endif()
file(WRITE "${STUB}.unpadded-size" "${unpadded}\n")
message(STATUS "${name}: ${unpadded} bytes linked, ${headroom} bytes of headroom, padded to ${STUB_LENGTH}")
