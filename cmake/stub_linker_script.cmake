# The stub's linker script: the linker's own default script for PE programs
# with one change, the import tables placed at the end of .rdata instead of in
# a section of their own. Every section of the file is padded to 512 bytes, so
# one section fewer is up to 512 bytes more room for code in the fixed stub
# length. Import tables in read-only data are what Windows' own tools produce:
# the loader makes the address table writable while it binds the imports.
#
# ld finds the import directory and the address table through the .idata
# section by its name, or else through symbols named after the import table
# parts (.idata$2 the directory, $4 the name lists, $5 the address table, $6
# the names). Once the tables are inside .rdata only the symbols can say where
# they are, so the script defines them, as image-relative addresses, which is
# how ld stores them in the header.
#
# kq_write_stub_linker_script(OUT) writes the script to OUT at configure time.
function(kq_write_stub_linker_script out)
  find_program(KQ_MINGW_LD ${KQ_MINGW_ARCH}-w64-mingw32-ld REQUIRED)
  execute_process(COMMAND ${KQ_MINGW_LD} --verbose
    OUTPUT_VARIABLE ld_output RESULT_VARIABLE ld_result)
  if(NOT ld_result EQUAL 0)
    message(FATAL_ERROR "${KQ_MINGW_LD} --verbose failed: ${ld_result}")
  endif()

  # The script is printed between two rules of '=' signs.
  set(rule "==================================================\n")
  string(FIND "${ld_output}" "${rule}" first)
  string(FIND "${ld_output}" "${rule}" last REVERSE)
  if(first EQUAL -1 OR last LESS_EQUAL first)
    message(FATAL_ERROR "${KQ_MINGW_LD} --verbose printed no linker script")
  endif()
  string(LENGTH "${rule}" rule_length)
  math(EXPR begin "${first} + ${rule_length}")
  math(EXPR length "${last} - ${begin}")
  string(SUBSTRING "${ld_output}" ${begin} ${length} script)

  # Cut the .idata output section out, keeping its body: the statement starts
  # at its name and ends at the first closing brace at the start of a line.
  set(idata_head "  .idata BLOCK(__section_alignment__) :\n  {\n")
  string(FIND "${script}" "${idata_head}" idata_start)
  if(idata_start EQUAL -1)
    message(FATAL_ERROR "no .idata section in the linker's default script")
  endif()
  string(SUBSTRING "${script}" 0 ${idata_start} before_idata)
  string(SUBSTRING "${script}" ${idata_start} -1 from_idata)
  string(FIND "${from_idata}" "\n  }\n" idata_end)
  string(LENGTH "${idata_head}" head_length)
  math(EXPR body_length "${idata_end} + 1 - ${head_length}")
  string(SUBSTRING "${from_idata}" ${head_length} ${body_length} idata_body)
  math(EXPR after_start "${idata_end} + 5")
  string(SUBSTRING "${from_idata}" ${after_start} -1 after_idata)

  # A symbol for each part, on the line before the statement that places it.
  foreach(part 2 4 5 6)
    set(placing "\n( *)([^\n]*\\(\\.idata\\$${part}\\))")
    string(REGEX MATCH "${placing}" found "${idata_body}")
    if(NOT found)
      message(FATAL_ERROR "the default script's .idata does not place .idata$${part}")
    endif()
    string(REGEX REPLACE "${placing}"
      "\n\\1\".idata$${part}\" = . - __image_base__;\n\\1\\2" idata_body "${idata_body}")
  endforeach()

  set(rdata_tail "*(SORT(.rdata$*))\n")
  string(FIND "${before_idata}" "${rdata_tail}" rdata_found)
  if(rdata_found EQUAL -1)
    message(FATAL_ERROR "the default script's .rdata has no ${rdata_tail}")
  endif()
  string(REPLACE "${rdata_tail}" "${rdata_tail}    . = ALIGN(4);\n${idata_body}"
    before_idata "${before_idata}")

  file(WRITE "${out}.new" "${before_idata}${after_idata}")
  file(COPY_FILE "${out}.new" "${out}" ONLY_IF_DIFFERENT)
  file(REMOVE "${out}.new")
endfunction()
