# SPDX-License-Identifier: GPL-3.0-or-later
# Writes CHANGELOG.md as a Debian changelog, newest release first:
#   cmake -DIN=CHANGELOG.md -DOUT=changelog -DPACKAGE=timer-rs232 \
#         -DMAINTAINER="Name <address>" -P debian_changelog.cmake
# A release is a "## VERSION - YYYY-MM-DD HH:MM" heading (UTC) and the "- "
# items under it.
file(STRINGS "${IN}" lines ENCODING UTF-8)
set(out "")
set(version "")
set(items "")

function(flush)
  if(version STREQUAL "")
    return()
  endif()
  execute_process(COMMAND date -u -R -d "${date} UTC" OUTPUT_VARIABLE stamp
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(out "${out}${PACKAGE} (${version}) unstable; urgency=medium\n\n${items}\n -- ${MAINTAINER}  ${stamp}\n\n" PARENT_SCOPE)
endfunction()

foreach(line IN LISTS lines)
  if(line MATCHES "^## ([^ ]+) - ([0-9-]+ [0-9:]+)")
    flush()
    set(version "${CMAKE_MATCH_1}")
    set(date "${CMAKE_MATCH_2}")
    set(items "")
  elseif(line MATCHES "^- (.*)")
    set(items "${items}  * ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^  +(.*)" AND NOT version STREQUAL "")
    # A continued item keeps its indentation under the star.
    set(items "${items}    ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
flush()
string(REGEX REPLACE "\n\n$" "\n" out "${out}")
file(WRITE "${OUT}" "${out}")
