# SPDX-License-Identifier: MIT
# The release's version, date and notes, from the two files a maintainer writes
# (docs/releasing.md): packaging/changelog, Debian's, whose top entry names the version
# and whose trailer holds the date; and NEWS.md, the notes for users, a section a release.
# The two must tell one story: the same releases, newest first, with the same dates and
# the same items. Where they do not, this stops, saying where.
#
# Included by CMakeLists.txt before project(), it sets TESSARY_VERSION,
# TESSARY_RELEASE_DATE (YYYY-MM-DD) and TESSARY_RELEASES (the metainfo's <release>
# elements, newest first). Run as a script, it prints "VERSION DATE" for scripts/lib.sh,
# so that the build and the scripts read the date one way:
#
#   cmake [-DTESSARY_SOURCE_DIR=DIR] -P packaging/release.cmake
#
# The release's day is the day the trailer writes ("Tue, 08 Dec 2026 08:00:00 +1300" is
# 2026-12-08), not the day of that instant in UTC: it is the day the maintainer wrote, as
# dpkg-parsechangelog shows it, and the day NEWS.md gives. The time and the zone set only
# SOURCE_DATE_EPOCH's instant, the time of every file in every artefact (scripts/lib.sh).
if(NOT TESSARY_SOURCE_DIR)
  get_filename_component(TESSARY_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

# tessary_release_lines(FILE OUT): FILE's lines as a list. A list would take ';', '[' and
# ']' for its own, so they are kept as stand-ins that tessary_release_text gives back.
function(tessary_release_lines file out)
  file(READ "${file}" text)
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<left-bracket>" text "${text}")
  string(REPLACE "]" "<right-bracket>" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(tessary_release_text text out)
  string(REPLACE "<semicolon>" ";" text "${text}")
  string(REPLACE "<left-bracket>" "[" text "${text}")
  string(REPLACE "<right-bracket>" "]" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(tessary_release_fail file number message)
  message(FATAL_ERROR "${file}, line ${number}: ${message} (docs/releasing.md)")
endfunction()

# tessary_release_item(PREFIX SEPARATOR TEXT): appends TEXT, its spaces made one, to the
# release's items, after SEPARATOR where there are some already: "<item>" to begin an
# item, " " to go on with one. Items are kept in PREFIX_items_N, apart by "<item>".
macro(tessary_release_item prefix separator text)
  string(REGEX REPLACE "[ \t]+" " " tessary_line "${text}")
  string(STRIP "${tessary_line}" tessary_line)
  if(NOT ${prefix}_items_${${prefix}_count} STREQUAL "")
    string(PREPEND tessary_line "${separator}")
  endif()
  string(APPEND ${prefix}_items_${${prefix}_count} "${tessary_line}")
endmacro()

# tessary_release_export(PREFIX): hands PREFIX_count and each release's PREFIX_version_N,
# PREFIX_date_N and PREFIX_items_N to the reader's caller.
macro(tessary_release_export prefix)
  foreach(n RANGE ${${prefix}_count})
    foreach(field version date items)
      set(${prefix}_${field}_${n} "${${prefix}_${field}_${n}}" PARENT_SCOPE)
    endforeach()
  endforeach()
  set(${prefix}_count ${${prefix}_count} PARENT_SCOPE)
endmacro()

# packaging/changelog: "tessary (V) ...", items "  * TEXT" continued by "    TEXT", the
# trailer " -- NAME <MAIL>  Day, DD Mon YYYY HH:MM:SS +ZZZZ". Sets changelog_count and,
# for each entry N from 0, changelog_version_N, changelog_date_N and changelog_items_N.
function(tessary_read_changelog)
  set(file packaging/changelog)
  tessary_release_lines("${TESSARY_SOURCE_DIR}/${file}" lines)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(changelog_count 0)
  set(open FALSE)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^tessary \\(([^)]*)\\) ")
      set(version "${CMAKE_MATCH_1}")
      if(open)
        tessary_release_fail(${file} ${number} "an entry begins before the last one ended with its ' -- ' line")
      endif()
      if(NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
        tessary_release_fail(${file} ${number} "the version '${version}' is not MAJOR.MINOR.PATCH")
      endif()
      set(changelog_version_${changelog_count} "${version}")
      set(changelog_items_${changelog_count} "")
      set(open TRUE)
    elseif(open AND line MATCHES "^  \\* (.*)$")
      tessary_release_item(changelog "<item>" "${CMAKE_MATCH_1}")
    elseif(open AND line MATCHES "^    (.*)$" AND NOT changelog_items_${changelog_count} STREQUAL "")
      tessary_release_item(changelog " " "${CMAKE_MATCH_1}")
    elseif(open AND line MATCHES "^ -- .*>  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
      set(year ${CMAKE_MATCH_3})
      math(EXPR day "${CMAKE_MATCH_1} + 100")
      list(FIND months ${CMAKE_MATCH_2} month)
      if(month LESS 0)
        tessary_release_fail(${file} ${number} "no month '${CMAKE_MATCH_2}'")
      endif()
      # Two digits each (101 to 112, 101 to 131, less their first digit).
      math(EXPR month "${month} + 101")
      string(SUBSTRING ${month} 1 2 month)
      string(SUBSTRING ${day} 1 2 day)
      set(changelog_date_${changelog_count} ${year}-${month}-${day})
      if(changelog_items_${changelog_count} STREQUAL "")
        tessary_release_fail(${file} ${number} "the entry for ${changelog_version_${changelog_count}} has no item ('  * ...')")
      endif()
      math(EXPR changelog_count "${changelog_count} + 1")
      set(open FALSE)
    elseif(NOT line STREQUAL "")
      tessary_release_fail(${file} ${number} "not a line of an entry: '${line}'")
    endif()
  endforeach()
  if(open OR changelog_count EQUAL 0)
    tessary_release_fail(${file} ${number} "the last entry has no ' -- NAME <MAIL>  DATE' line")
  endif()
  tessary_release_export(changelog)
endfunction()

# NEWS.md: after its introduction, "## Unreleased", then "## V - YYYY-MM-DD" for each
# release, each with items "- TEXT" continued by "  TEXT". Sets news_count and, for each
# release N from 0, news_version_N, news_date_N and news_items_N.
function(tessary_read_news)
  set(file NEWS.md)
  tessary_release_lines("${TESSARY_SOURCE_DIR}/${file}" lines)
  set(news_count 0)
  set(section "")
  set(item FALSE)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^## ")
      set(item FALSE)
    endif()
    if(line STREQUAL "## Unreleased")
      if(NOT section STREQUAL "")
        tessary_release_fail(${file} ${number} "'## Unreleased' comes first, above every release")
      endif()
      set(section unreleased)
    elseif(line MATCHES "^## ")
      if(section STREQUAL "")
        tessary_release_fail(${file} ${number} "'## Unreleased' comes first, above every release")
      endif()
      if(section STREQUAL "release")
        math(EXPR news_count "${news_count} + 1")
      endif()
      if(NOT line MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
        tessary_release_fail(${file} ${number} "a release's heading is '## MAJOR.MINOR.PATCH - YYYY-MM-DD', not '${line}'")
      endif()
      set(news_version_${news_count} ${CMAKE_MATCH_1})
      set(news_date_${news_count} ${CMAKE_MATCH_2})
      set(news_items_${news_count} "")
      set(section release)
    elseif(section STREQUAL "" OR line STREQUAL "")
    elseif(line MATCHES "^- (.*)$")
      if(section STREQUAL "release")
        tessary_release_item(news "<item>" "${CMAKE_MATCH_1}")
      endif()
      set(item TRUE)
    elseif(line MATCHES "^  (.*)$" AND item)
      if(section STREQUAL "release")
        tessary_release_item(news " " "${CMAKE_MATCH_1}")
      endif()
    else()
      tessary_release_fail(${file} ${number} "not an item ('- TEXT', continued by '  TEXT'): '${line}'")
    endif()
  endforeach()
  if(NOT section STREQUAL "release")
    tessary_release_fail(${file} ${number} "no release below '## Unreleased'")
  endif()
  math(EXPR news_count "${news_count} + 1")
  tessary_release_export(news)
endfunction()

# Both read, compared, and the metainfo's releases written from NEWS.md.
function(tessary_read_release)
  tessary_read_changelog()
  tessary_read_news()
  if(NOT changelog_count EQUAL news_count)
    message(FATAL_ERROR "packaging/changelog has ${changelog_count} releases and NEWS.md "
                        "${news_count}: each release is in both (docs/releasing.md)")
  endif()
  set(TESSARY_RELEASES "")
  math(EXPR last "${news_count} - 1")
  foreach(n RANGE ${last})
    foreach(field version date items)
      if(NOT changelog_${field}_${n} STREQUAL news_${field}_${n})
        tessary_release_text("${changelog_${field}_${n}}" in_changelog)
        tessary_release_text("${news_${field}_${n}}" in_news)
        message(FATAL_ERROR "packaging/changelog and NEWS.md differ in the ${field} of their "
                            "release ${n} from the top:\n  '${in_changelog}'\n  '${in_news}'\n"
                            "(docs/releasing.md)")
      endif()
    endforeach()
    if(n GREATER 0)
      math(EXPR newer "${n} - 1")
      if(NOT news_version_${newer} VERSION_GREATER news_version_${n})
        message(FATAL_ERROR "NEWS.md lists ${news_version_${newer}} above ${news_version_${n}}: "
                            "the releases go newest first (docs/releasing.md)")
      endif()
    endif()
    # The software centres' entry: the items as plain text, escaped for XML, code marks
    # dropped; one item as a paragraph, more as a list.
    string(REPLACE "<item>" "\n" items "${news_items_${n}}")
    tessary_release_text("${items}" items)
    string(REPLACE "&" "&amp;" items "${items}")
    string(REPLACE "<" "&lt;" items "${items}")
    string(REPLACE ">" "&gt;" items "${items}")
    string(REPLACE "`" "" items "${items}")
    string(APPEND TESSARY_RELEASES
      "    <release version=\"${news_version_${n}}\" date=\"${news_date_${n}}\">\n"
      "      <description>\n")
    if(items MATCHES "\n")
      string(REPLACE "\n" "</li>\n          <li>" items "${items}")
      string(APPEND TESSARY_RELEASES "        <ul>\n          <li>${items}</li>\n        </ul>\n")
    else()
      string(APPEND TESSARY_RELEASES "        <p>${items}</p>\n")
    endif()
    string(APPEND TESSARY_RELEASES "      </description>\n    </release>\n")
  endforeach()
  set(TESSARY_VERSION ${changelog_version_0} PARENT_SCOPE)
  set(TESSARY_RELEASE_DATE ${changelog_date_0} PARENT_SCOPE)
  set(TESSARY_RELEASES "${TESSARY_RELEASES}" PARENT_SCOPE)
endfunction()

tessary_read_release()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${TESSARY_VERSION} ${TESSARY_RELEASE_DATE}")
endif()
