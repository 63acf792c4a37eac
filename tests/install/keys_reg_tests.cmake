# The key map script against hand-written .reg files: what it makes of the values it takes, and
# the files it refuses rather than half-applies silently.
#   cmake -DSCRIPT=install/keys_reg.cmake -DWORK=<scratch folder> -P keys_reg_tests.cmake
cmake_minimum_required(VERSION 3.25)

set(keys_path [[Software\Velmora\TalvenorTests\RegFile]])
set(action "[HKEY_CURRENT_USER\\${keys_path}\\Action0]\n")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

# Runs the script on text; sets <prefix>_result, <prefix>_error, <prefix>_nsh and <prefix>_table.
function(run prefix text)
  file(WRITE "${WORK}/in.reg" "${text}")
  file(REMOVE "${WORK}/out.nsh" "${WORK}/out.inc")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DREG_FILE=${WORK}/in.reg -DNSH_FILE=${WORK}/out.nsh
            -DTABLE_FILE=${WORK}/out.inc -DKEYS_PATH=${keys_path} -P ${SCRIPT}
    RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
  set(nsh "")
  set(table "")
  if(EXISTS "${WORK}/out.nsh")
    file(READ "${WORK}/out.nsh" nsh)
  endif()
  if(EXISTS "${WORK}/out.inc")
    file(READ "${WORK}/out.inc" table)
  endif()
  string(REGEX REPLACE "[ \n]+" " " error "${error}")  # CMake wraps its messages
  set(${prefix}_result "${result}" PARENT_SCOPE)
  set(${prefix}_error "${error}" PARENT_SCOPE)
  set(${prefix}_nsh "${nsh}" PARENT_SCOPE)
  set(${prefix}_table "${table}" PARENT_SCOPE)
endfunction()

# Taken: strings with their escapes, dwords of up to 8 digits, comments and CRLF line ends.
string(CONCAT good_text "REGEDIT4\r\n\r\n; a comment\r\n${action}"
       "\"Id\"=dword:00000003\r\n"
       "\"Name\"=\"Say \\\"drop\\\" \\\\ now; $x\"\r\n"
       "\"Code\"=dword:FFFFFFFF\r\n")
run(good "${good_text}")
if(NOT good_result EQUAL 0)
  message(SEND_ERROR "a good file was refused: ${good_error}")
endif()
set(key_cxx [[L"Software\\Velmora\\TalvenorTests\\RegFile\\Action0"]])
foreach(row IN ITEMS
        "{${key_cxx}, L\"Id\", REG_DWORD, 0x00000003, nullptr},"
        "{${key_cxx}, L\"Name\", REG_SZ, 0, L\"Say \\\"drop\\\" \\\\ now; $x\"},"
        "{${key_cxx}, L\"Code\", REG_DWORD, 0xFFFFFFFF, nullptr},")
  string(FIND "${good_table}" "${row}\n" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the table lacks ${row}:\n${good_table}")
  endif()
endforeach()
set(key_nsis [["Software\Velmora\TalvenorTests\RegFile\Action0"]])
foreach(line IN ITEMS
        "  WriteRegDWORD HKCU ${key_nsis} \"Id\" 0x00000003"
        "  WriteRegStr HKCU ${key_nsis} \"Name\" \"Say $\\\"drop$\\\" \\ now; $$x\""
        "  WriteRegDWORD HKCU ${key_nsis} \"Code\" 0xFFFFFFFF")
  string(FIND "${good_nsh}" "${line}\n" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the installer's include lacks ${line}:\n${good_nsh}")
  endif()
endforeach()

# Refused, with the line and the reason, and nothing written.
set(cases
    "no header|${action}\"Id\"=dword:1\n|in.reg:1: not a .reg file"
    "empty||in.reg: no key map values"
    "another root|REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\X]\n|in.reg:2: key must be one action subkey"
    "the keys themselves|REGEDIT4\n[HKEY_CURRENT_USER\\${keys_path}]\n|in.reg:2: key must be one action subkey"
    "a deletion|REGEDIT4\n[-HKEY_CURRENT_USER\\${keys_path}\\Action0]\n|in.reg:2: key deletions are not supported"
    "value outside a key|REGEDIT4\n\"Id\"=dword:1\n|in.reg:2: value outside a key"
    "binary value|REGEDIT4\n${action}\"Id\"=hex:01,00\n|in.reg:3: only string and dword values are supported"
    "nine hex digits|REGEDIT4\n${action}\"Id\"=dword:100000000\n|in.reg:3: dword value has more than 8 hex digits"
    "unterminated name|REGEDIT4\n${action}\"Id=dword:1\n|in.reg:3: cannot read this line")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 text)
  list(GET fields 2 reason)
  run(bad "${text}")
  string(FIND "${bad_error}" "${reason}" at)
  if(bad_result EQUAL 0 OR at EQUAL -1)
    message(SEND_ERROR "${name}: not refused with \"${reason}\" (result ${bad_result}): ${bad_error}")
  endif()
  if(EXISTS "${WORK}/out.nsh" OR EXISTS "${WORK}/out.inc")
    message(SEND_ERROR "${name}: output written although refused")
  endif()
endforeach()

execute_process(
  COMMAND ${CMAKE_COMMAND} -DREG_FILE=${WORK}/missing.reg -DNSH_FILE=${WORK}/out.nsh
          -DTABLE_FILE=${WORK}/out.inc -DKEYS_PATH=${keys_path} -P ${SCRIPT}
  RESULT_VARIABLE result ERROR_VARIABLE error)
string(REGEX REPLACE "[ \n]+" " " error "${error}")
string(FIND "${error}" "cannot open the file" at)
if(result EQUAL 0 OR at EQUAL -1)
  message(SEND_ERROR "a missing file was not refused: ${error}")
endif()
