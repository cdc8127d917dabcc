# Runs the ledview command as a user would: cmake -DLEDVIEW=... -DEXAMPLES=...
# -DGOLDEN=... -DWORK=... -P cli_test.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# run(<expected status> <stdout var> <stderr var> args...)
function(run expected outvar errvar)
  execute_process(COMMAND ${LEDVIEW} ${ARGN} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expected STREQUAL "nonzero")
    if(status EQUAL 0)
      message(FATAL_ERROR "ledview ${ARGN}: succeeded, a failure was expected\n${out}${err}")
    endif()
  elseif(NOT status EQUAL expected)
    message(FATAL_ERROR "ledview ${ARGN}: status ${status}, expected ${expected}\n${out}${err}")
  endif()
  set(${outvar} "${out}" PARENT_SCOPE)
  set(${errvar} "${err}" PARENT_SCOPE)
endfunction()

function(expect_same a b)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()

function(expect_match text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: expected to match '${pattern}', got:\n${text}")
  endif()
endfunction()

# Examples build to their committed bytes; inspecting and building again
# gives the bytes back.
foreach(name hello clocks pictures effects)
  run(0 out err build ${EXAMPLES}/${name}.json -o ${WORK}/${name}.bill)
  expect_same(${WORK}/${name}.bill ${GOLDEN}/${name}.bill)
  file(MAKE_DIRECTORY ${WORK}/${name})
  run(0 out err inspect ${WORK}/${name}.bill -o ${WORK}/${name}/again.json)
  run(0 out err build ${WORK}/${name}/again.json -o ${WORK}/${name}/again.bill)
  expect_same(${WORK}/${name}/again.bill ${GOLDEN}/${name}.bill)
endforeach()
run(0 out err check ${GOLDEN}/effects.bill --size 64x32 --mode 2)
expect_match("${out}" "^validation code 0: valid\nbill: 1 page, 330 bytes\n" "check effects")
# The engine's set-up lines only when asked for.
run(0 out err --verbose check ${GOLDEN}/effects.bill --size 64x32 --mode 2)
expect_match("${out}" "^SetLedEnv: dmawidth = .*\nvalidation code 0: valid\n" "check --verbose")

# inspect to standard output names its pictures relative to the current folder.
execute_process(COMMAND ${LEDVIEW} inspect ${GOLDEN}/pictures.bill WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE status OUTPUT_FILE ${WORK}/printed.json)
if(status OR NOT EXISTS ${WORK}/pictures-p0a0c0e0.png)
  message(FATAL_ERROR "inspect to standard output: status ${status}, pictures missing")
endif()
run(0 out err build ${WORK}/printed.json -o ${WORK}/printed.bill)
expect_same(${WORK}/printed.bill ${GOLDEN}/pictures.bill)

# Areas beyond the sign are noted; a payload too short for its type is
# rejected by the engine's validation.
run(0 out err check ${GOLDEN}/clocks.bill --size 64x16 --mode 2)
expect_match("${out}" "areas\\[1\\]: 32,0 96x32 static, 3 components\n.*warning: pages\\[0\\].areas\\[1\\]: reaches outside the 64x16 sign; that part is not shown\n" "check on a small sign")
file(WRITE ${WORK}/short.json "{\"pages\": [{\"areas\": [{\"rect\": [0, 0, 8, 8], \"components\": [{\"elements\": [{\"type\": 1, \"payload\": \"00\"}]}]}]}]}")
run(1 out err check ${WORK}/short.json)
expect_match("${out}" "validation code 15: rejected\n.*elements\\[0\\]: picture, entry Instant, exit none, speed 0, delay 0 s, stay 0 s, 1 byte\n" "check of a short payload")
# Content the sign will cut is warned of, one line each; the status stays 0.
file(WRITE ${WORK}/tall.json "{\"sign\": {\"width\": 64, \"height\": 16}, \"pages\": [{\"areas\": [{\"components\": [{\"elements\": [{\"type\": \"string\", \"text\": \"Hi\", \"size\": 24}]}]}]}]}")
run(0 out err check ${WORK}/tall.json)
expect_match("${out}" "\nwarning: pages\\[0\\].areas\\[0\\].components\\[0\\].elements\\[0\\]: the 24 px text is taller than its component's 16 px and will be cut\n$" "check of a text too tall")

# Renders: a GIF, one moment, frames.
run(0 out err render ${GOLDEN}/effects.bill --size 64x32 --mode 2 --seconds 2 -q -o ${WORK}/effects.gif)
file(READ ${WORK}/effects.gif head LIMIT 6 HEX)
expect_match("${head}" "^474946383961$" "render GIF")
run(0 out err render ${EXAMPLES}/pictures.json --at 1.5 --look plain --scale 1 -q -o ${WORK}/moment.png)
run(0 out err render ${EXAMPLES}/hello.json --seconds 1 -q --frames ${WORK}/frames)
file(GLOB frames ${WORK}/frames/*ms.png)
list(LENGTH frames count)
if(count LESS 1)
  message(FATAL_ERROR "render --frames wrote no frames")
endif()
run(0 out err demo --seconds 1 -q -o ${WORK}/demo.gif)
run(0 out err demo --json ${WORK}/demo.json)
run(0 out err build ${WORK}/demo.json -o ${WORK}/demo.bill)

# A playbill records no sign: the one its areas and colours need, said in
# one line, unless --size and --mode choose it.
run(0 out err check ${GOLDEN}/clocks.bill)
expect_match("${err}" "^ledview: a playbill does not record its sign; using 128x32 in colour mode 2 from its areas and colours [(]--size and --mode choose another[)]\n$" "check of a .bill")
run(0 out err render ${GOLDEN}/clocks.bill --at 1 -q --mode 4 -o ${WORK}/clocks.png)
expect_match("${err}" "using 128x32 in colour mode 4" "render of a .bill with --mode")
run(0 out err render ${GOLDEN}/clocks.bill --at 1 -q --size 128x32 --mode 2 -o ${WORK}/clocks.png)
if(NOT err STREQUAL "")
  message(FATAL_ERROR "a sign chosen in full needs no word: ${err}")
endif()

# The effects by number and name, as descriptions use them.
run(0 out err effects)
expect_match("${out}" "\n   9  SlideLeft +slides in from the right\n" "effects: an entry effect")
expect_match("${out}" "\n   9  EraseToMiddleRow +[^\n]+\n  10  random" "effects: the last exit effect")
string(REGEX MATCHALL "\n +[0-9]+  [A-Za-z(]" rows "${out}")
list(LENGTH rows count)
if(NOT count EQUAL 65)  # 53 entry slots, random, none, 9 exits, random
  message(FATAL_ERROR "ledview effects lists ${count} rows, expected 65:\n${out}")
endif()

# Bad input: one line naming what and where, a failure status, no output.
file(WRITE ${WORK}/bad.json "{\"pages\": [{\"areas\": [{\"rect\": [0, 0, 64, 16], \"components\": [{\"elements\": [{\"type\": \"string\", \"text\": \"a\", \"entry\": \"SlideSideways\"}]}]}]}]}")
run(1 out err build ${WORK}/bad.json -o ${WORK}/bad.bill)
expect_match("${err}" "^ledview: [^\n]*bad.json: pages\\[0\\]\\.areas\\[0\\]\\.components\\[0\\]\\.elements\\[0\\]\\.entry: unknown effect \"SlideSideways\"; did you mean [^\n]*SlideRight[^\n]*[?] [(]`ledview effects` lists them all[)]\n$" "bad description")
file(WRITE ${WORK}/syntax.json "{\n  \"pages\": [\n}")
run(1 out err build ${WORK}/syntax.json -o ${WORK}/bad.bill)
expect_match("${err}" "syntax.json: line 3, column 1: syntax error" "JSON syntax error")
# Nesting deeper than any description needs is refused while reading, with
# one line, not a crash.
string(REPEAT "[" 20000 open)
string(REPEAT "]" 20000 close)
file(WRITE ${WORK}/deep.json "{\"pages\": ${open}${close}}")
run(1 out err build ${WORK}/deep.json -o ${WORK}/deep.bill)
expect_match("${err}" "^ledview: [^\n]*deep.json: arrays and objects nested more than 64 deep\n$" "deep nesting")

# An output that is one of the inputs, or named for another kind of file, is
# refused and the input stays as it was.
file(READ ${EXAMPLES}/hello.json hello)
file(WRITE ${WORK}/same.json "${hello}")
foreach(case
    "build|same.json|same.json|is the description being built"
    "build|same.json|same.gif|build writes a playbill"
    "inspect|same.bill|same.png|inspect writes a description"
    "inspect|same.bill|same.bill|inspect writes a description")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 cmd)
  list(GET parts 1 input)
  list(GET parts 2 output)
  list(GET parts 3 message)
  if(input STREQUAL "same.bill")
    run(0 out err build ${WORK}/same.json -o ${WORK}/same.bill)
  endif()
  file(SHA256 ${WORK}/${input} before)
  run(1 out err ${cmd} ${WORK}/${input} -o ${WORK}/${output})
  expect_match("${err}" "^ledview: -o [^\n]*${output}: ${message}[^\n]*\n$" "${cmd} -o ${output}")
  file(SHA256 ${WORK}/${input} after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "${cmd} -o ${output} changed its input")
  endif()
endforeach()
# The same file by another path is still the same file.
run(1 out err build ${WORK}/same.json -o ${WORK}/./same.json)
expect_match("${err}" "is the description being built" "build to its own input by another path")
get_filename_component(workname ${WORK} NAME)
file(WRITE ${WORK}/desc.bill "${hello}")
run(1 out err build ${WORK}/desc.bill -o ${WORK}/../${workname}/desc.bill)
expect_match("${err}" "is the description being built" "build to its own input named .bill")
file(READ ${WORK}/desc.bill kept)
if(NOT kept STREQUAL hello)
  message(FATAL_ERROR "build overwrote its own input")
endif()

file(WRITE ${WORK}/junk.bill "not a playbill at all")
run(1 out err render ${WORK}/junk.bill -q -o ${WORK}/junk.gif)
expect_match("${err}" "^ledview: the engine rejects the playbill" "render of junk")
run(1 out err inspect ${WORK}/junk.bill -o ${WORK}/junk.json)
expect_match("${err}" "junk.bill: bill at byte 0: object type 0x20746F6E where 0x80000000 belongs" "inspect of junk")
run(1 out err check ${WORK}/junk.bill)
run(1 out err render ${GOLDEN}/hello.bill --font "No Such Font" -q -o ${WORK}/nofont.gif)
expect_match("${err}" "font \"No Such Font\" not found" "missing font")
run(nonzero out err render ${GOLDEN}/hello.bill --size 12 -q -o ${WORK}/badsize.gif)
# What a user types wrongly is named back with what was expected.
foreach(case
    "--size|64x|--size \"64x\": expected WIDTHxHEIGHT"
    "--start|soon|--start \"soon\": expected \"YYYY-MM-DD hh:mm:ss\", seconds, or now"
    "--string|1=hi|--string \"1=hi\": expected ID=TEXT@SECONDS"
    "--string|0=hi@1|expected ID=TEXT@SECONDS with an id 1..65535"
    "--string|1=hi@1e300|and 0..86400 seconds"
    "--string|1=€@1|is not in GB2312")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 option)
  list(GET parts 1 value)
  list(GET parts 2 message)
  run(nonzero out err render ${GOLDEN}/hello.bill ${option} "${value}" -q -o ${WORK}/badarg.gif)
  string(FIND "${err}" "${message}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "render ${option} ${value}: expected \"${message}\", got:\n${err}")
  endif()
endforeach()
# Values out of range, and outputs whose name says another format: one line
# that says what to do, status 1.
foreach(case
    "render|--mode|3|-o|x.gif|--mode: must be 1, 2 or 4"
    "check|--mode|7|-|-|--mode: must be 1, 2 or 4"
    "render|--at|1e300|-o|x.png|--at: must be 0..86400 seconds"
    "render|--at|nan|-o|x.png|--at: must be 0..86400 seconds"
    "render|--scale|0|-o|x.gif|--scale must be 1..64"
    "render|--tick|0|-o|x.gif|--tick must be 1..10000 milliseconds"
    "render|--seconds|1e9|-o|x.gif|--seconds must be above 0 and at most 86400"
    "play|--tick|20000|-|-|--tick must be 1..10000 milliseconds"
    "play|--second|0|-|-|--second must be 1..3600000 milliseconds"
    "render|--at|1|-o|moment.gif|moment.gif: --at writes one PNG; name the output .png"
    "render|--seconds|1|-o|anim.png|anim.png: a render is an animated GIF; name it .gif, or give --at"
    "render|--seconds|1|-o|anim.bmp|anim.bmp: name the output .gif")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 command)
  list(GET parts 1 option)
  list(GET parts 2 value)
  list(GET parts 3 outflag)
  list(GET parts 4 outname)
  list(GET parts 5 message)
  set(output)
  if(NOT outflag STREQUAL "-")
    set(output ${outflag} ${WORK}/${outname})
  endif()
  set(quiet -q)
  if(command STREQUAL "play")
    set(quiet)
  endif()
  run(1 out err ${command} ${GOLDEN}/hello.bill ${option} ${value} ${output} ${quiet})
  string(FIND "${err}" "${message}" found)
  if(found EQUAL -1 OR NOT err MATCHES "^ledview: [^\n]*\n$")
    message(FATAL_ERROR "${command} ${option} ${value} ${output}: expected one line with \"${message}\", got:\n${err}")
  endif()
  if(NOT outname STREQUAL "-" AND EXISTS ${WORK}/${outname})
    message(FATAL_ERROR "${outname} was written by a failing command")
  endif()
endforeach()

foreach(f bad.bill junk.gif junk.json nofont.gif badsize.gif badarg.gif)
  if(EXISTS ${WORK}/${f})
    message(FATAL_ERROR "${f} was written by a failing command")
  endif()
endforeach()
file(GLOB leftovers ${WORK}/.*tmp*)
if(leftovers)
  message(FATAL_ERROR "temporary files left behind: ${leftovers}")
endif()

# play opens a window: without a display it must fail cleanly, before any
# window when the input is missing, and it plays on SDL's offscreen driver.
run(1 out err play ${WORK}/missing.bill)
expect_match("${err}" "^ledview: [^\n]*missing.bill: No such file or directory\n$" "play of a missing file")
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
run(1 out err play ${GOLDEN}/hello.bill --seconds 0.3)
# (after the line on the sign a playbill does not record)
expect_match("${err}" "\nledview: no display to open a window on: play needs a desktop; use ledview render for a GIF or ledview serve for a browser page [(]neither DISPLAY nor WAYLAND_DISPLAY is set[)]\n$" "play without a display")
set(ENV{SDL_VIDEODRIVER} offscreen)
set(ENV{SDL_FRAMEBUFFER_ACCELERATION} 0)
run(0 out err play ${GOLDEN}/effects.bill --size 64x32 --mode 2 --seconds 0.3)
run(1 out err play ${WORK}/junk.bill --seconds 0.3)
expect_match("${err}" "^ledview: the engine rejects the playbill \\(validation code" "play of junk")
run(1 out err play ${GOLDEN}/hello.bill --font "No Such Font" --seconds 0.3)
expect_match("${err}" "font \"No Such Font\" not found" "play with a missing font")
run(1 out err play ${GOLDEN}/hello.bill --scale 64 --size 8192x32 --seconds 0.3)
expect_match("${err}" "larger than 8192 pixels" "play with too large a window")
unset(ENV{SDL_VIDEODRIVER})
unset(ENV{SDL_FRAMEBUFFER_ACCELERATION})

# The gallery: a GIF and a caption in index.html for each of the 53 entry
# and 9 exit effects that `effects` lists, and for the 8 border types; the
# speeds' rates in a table.
run(0 out err effects --gallery ${WORK}/gallery/ -q)
file(GLOB gifs ${WORK}/gallery/*.gif)
list(LENGTH gifs count)
if(NOT count EQUAL 70)
  message(FATAL_ERROR "the gallery has ${count} GIFs, 70 expected")
endif()
file(READ ${WORK}/gallery/index.html index)
foreach(caption "1 (4 LEDs wide)" "2 (1 LED wide)" "3 (3 LEDs wide)" "8 (3 LEDs wide)")
  string(FIND "${index}" "<b>${caption}</b>" found)
  if(found EQUAL -1 OR NOT EXISTS ${WORK}/gallery/border-1.gif OR NOT EXISTS ${WORK}/gallery/border-8.gif)
    message(FATAL_ERROR "the gallery's index does not show border \"${caption}\"")
  endif()
endforeach()
expect_match("${index}" "<td>25</td><td>33</td><td>50</td><td>100</td><td>200</td><td>270</td><td>400</td>" "the gallery's speed table")
run(0 listing err effects)
expect_match("${listing}" "\n  border 1, 4 LEDs wide +rings[^\n]*\n  border 2, 1 LED wide " "effects lists the borders")
string(REGEX MATCHALL "\n +[0-9]+  [A-Za-z]+" rows "${listing}")
set(named 0)
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^\n +([0-9]+)  ([A-Za-z]+)$" "\\1 \\2" caption "${row}")
  if(caption MATCHES " (random|none)$")
    continue()
  endif()
  string(FIND "${index}" "<b>${caption}</b>" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the gallery's index does not show \"${caption}\"")
  endif()
  math(EXPR named "${named} + 1")
endforeach()
if(NOT named EQUAL 60)  # slots 26 and 27 go by number
  message(FATAL_ERROR "${named} named effects listed, 60 expected")
endif()
run(1 out err effects --gallery ${WORK}/gallery -q)
expect_match("${err}" "^ledview: [^\n]*gallery: exists and is not an empty folder; name a new folder, or remove this one first\n$" "gallery over a full folder")
# Frames into a full folder: the same hint, and the folder is left alone.
file(GLOB before ${WORK}/gallery/*)
run(1 out err render ${GOLDEN}/hello.bill --size 64x16 --mode 1 --seconds 1 -q --frames ${WORK}/gallery)
expect_match("${err}" "^ledview: [^\n]*gallery: exists and is not an empty folder; name a new folder, or remove this one first\n$" "frames into a full folder")
file(GLOB after ${WORK}/gallery/*)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "render --frames changed a full folder it refused")
endif()

# A manual for every command.
foreach(cmd build check inspect render play demo)
  run(0 out err ${cmd} --help)
  expect_match("${out}" "EXAMPLES" "${cmd} --help")
endforeach()
# play's manual says it needs a display and what to use without one.
run(0 out err play --help)
expect_match("${out}" "Needs a display [^\n]*without\n  one it stops with one line and shows nothing" "play --help on displays")
if(out MATCHES "offscreen")
  message(FATAL_ERROR "play --help suggests it runs without a display:\n${out}")
endif()

# Rough edges: what was mistyped or misplaced is named with what was meant.
run(1 out err rendr ${GOLDEN}/hello.bill)
expect_match("${err}" "^ledview: unknown command \"rendr\"; did you mean render[?] [(]commands: build, check, [^\n]*serve, export-web[)]\n$" "a mistyped command")
run(1 out err frobnicate)
expect_match("${err}" "^ledview: unknown command \"frobnicate\" [(]commands: " "a command like no other")
file(WRITE ${WORK}/color.json "{\"pages\": [{\"areas\": [{\"rect\": [0, 0, 64, 16], \"components\": [{\"elements\": [{\"type\": \"string\", \"text\": \"a\", \"color\": \"red\"}]}]}]}]}")
run(1 out err build ${WORK}/color.json -o ${WORK}/color.bill)
expect_match("${err}" "^ledview: [^\n]*color.json: pages\\[0\\]\\.areas\\[0\\]\\.components\\[0\\]\\.elements\\[0\\]\\.color: unknown field for a string element; did you mean \"colour\"[?]\n$" "a field spelt otherwise")
file(WRITE ${WORK}/rects.json "{\"pages\": [{\"playtim\": 5, \"areas\": []}]}")
run(1 out err build ${WORK}/rects.json -o ${WORK}/rects.bill)
expect_match("${err}" "pages\\[0\\]\\.playtim: unknown field; did you mean \"playtime\"[?]\n$" "a page field mistyped")
file(WRITE ${WORK}/far.json "{\"pages\": [], \"wibblewobble\": 1}")
run(1 out err build ${WORK}/far.json -o ${WORK}/far.bill)
expect_match("${err}" "wibblewobble: unknown field\n$" "a field like no other gets no guess")
# Global options anywhere on the line.
run(0 out err check ${GOLDEN}/effects.bill --size 64x32 --mode 2 --verbose)
expect_match("${out}" "^SetLedEnv: dmawidth = .*\nvalidation code 0: valid\n" "--verbose after the command")
# A size past the sign's limits names the limit.
run(1 out err render ${GOLDEN}/hello.bill --size 99999x32 -q -o ${WORK}/wide.gif)
expect_match("${err}" "^ledview: --size \"99999x32\": the width is at most 8192 LEDs\n$" "render of too wide a sign")
run(1 out err check ${GOLDEN}/hello.bill --size 64x999)
expect_match("${err}" "^ledview: --size \"64x999\": the height is at most 512 LEDs\n$" "check of too tall a sign")
# Inputs of the wrong kind are named for what they are.
run(1 out err inspect ${EXAMPLES}/hello.json)
expect_match("${err}" "^ledview: [^\n]*hello.json: is a JSON description already; did you mean ledview build [^\n]*\n$" "inspect of a description")
file(WRITE ${WORK}/empty.json "")
foreach(cmd check render serve)
  run(1 out err ${cmd} ${WORK}/empty.json)
  expect_match("${err}" "^ledview: [^\n]*empty.json: is empty, not a playbill [(].bill[)] or a JSON description [(].json[)]\n$" "${cmd} of an empty file")
endforeach()
run(1 out err render ${WORK}/moment.png -q -o ${WORK}/picture.gif)
expect_match("${err}" "^ledview: [^\n]*moment.png: is a PNG picture, not a playbill" "render of a PNG")
run(1 out err inspect ${WORK}/moment.png)
expect_match("${err}" "^ledview: [^\n]*moment.png: is a PNG picture, not a playbill [(].bill[)]\n$" "inspect of a PNG")

# Strings above 16 px are drawn with the outline font: the sign's "font",
# overridden by --font, else an installed font that has the show's
# characters (here hanzi, which DejaVu Sans lacks).
function(hanzi_show file signfont)
  file(WRITE ${file} "{\"sign\": {\"width\": 64, \"height\": 32${signfont}}, \"pages\": [{\"areas\": [{\"components\": [{\"elements\": [{\"type\": \"string\", \"text\": \"中文\", \"size\": 24}]}]}]}]}")
endfunction()
function(hanzi_png show png)
  run(0 out err render ${show} --at 1 --look plain --scale 1 -q -o ${WORK}/${png} ${ARGN})
endfunction()
function(expect_differ a b)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differ)
  if(NOT differ)
    message(FATAL_ERROR "${a} and ${b} are the same")
  endif()
endfunction()
file(MAKE_DIRECTORY ${WORK}/fonts)
file(COPY ${CJKFONT} DESTINATION ${WORK}/fonts)
get_filename_component(cjkname ${CJKFONT} NAME)
hanzi_show(${WORK}/hanzi.json "")
hanzi_show(${WORK}/fonts/beside.json ", \"font\": \"${cjkname}\"")
hanzi_show(${WORK}/dejavu.json ", \"font\": \"${FONT}\"")
hanzi_png(${WORK}/hanzi.json hanzi-chosen.png)
hanzi_png(${WORK}/hanzi.json hanzi-cjk.png --font ${CJKFONT})
hanzi_png(${WORK}/hanzi.json hanzi-dejavu.png --font ${FONT})
expect_same(${WORK}/hanzi-chosen.png ${WORK}/hanzi-cjk.png)
expect_differ(${WORK}/hanzi-cjk.png ${WORK}/hanzi-dejavu.png)
hanzi_png(${WORK}/fonts/beside.json beside.png)
expect_same(${WORK}/beside.png ${WORK}/hanzi-cjk.png)
hanzi_png(${WORK}/dejavu.json sign-dejavu.png)
expect_same(${WORK}/sign-dejavu.png ${WORK}/hanzi-dejavu.png)
hanzi_png(${WORK}/dejavu.json sign-overridden.png --font ${CJKFONT})
expect_same(${WORK}/sign-overridden.png ${WORK}/hanzi-cjk.png)
# A font without the characters is warned of, one line with the object path.
run(0 out err check ${WORK}/dejavu.json)
expect_match("${out}" "\nwarning: pages\\[0\\]\\.areas\\[0\\]\\.components\\[0\\]\\.elements\\[0\\]: the font \"[^\"\n]*\" lacks \"中\" [(]U\\+4E2D[)], \"文\" [(]U\\+6587[)], which the sign shows as empty boxes; [^\n]*\n" "check with a font lacking hanzi")
run(0 out err build ${WORK}/dejavu.json -o ${WORK}/dejavu.bill)
expect_match("${err}" "ledview: warning: pages\\[0\\][^\n]* lacks \"中\"" "build with a font lacking hanzi")
run(0 out err check ${WORK}/dejavu.json --font ${CJKFONT})
if(out MATCHES "lacks")
  message(FATAL_ERROR "check --font with the characters is warned of:\n${out}")
endif()
foreach(show hanzi.json fonts/beside.json)
  run(0 out err check ${WORK}/${show})
  if(out MATCHES "lacks")
    message(FATAL_ERROR "check ${show}: a font with the characters is warned of:\n${out}")
  endif()
endforeach()
hanzi_show(${WORK}/nofont.json ", \"font\": \"No Such Font\"")
run(1 out err build ${WORK}/nofont.json -o ${WORK}/nofont.bill)
expect_match("${err}" "^ledview: [^\n]*nofont.json: sign.font: font \"No Such Font\" not found" "a sign font not installed")
if(EXISTS ${WORK}/nofont.bill)
  message(FATAL_ERROR "a failed build left nofont.bill")
endif()
# export-web: a folder of static files that plays the show, with the module
# named by LEDVIEW_WEB_MODULE (stand-in files here; the browser test plays
# the real one); one line when the module is missing; nothing half-written.
function(run_web expected module outvar errvar)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LEDVIEW_WEB_MODULE=${module} ${LEDVIEW} export-web ${ARGN}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected)
    message(FATAL_ERROR "export-web ${ARGN}: status ${status}, expected ${expected}\n${out}${err}")
  endif()
  set(${errvar} "${err}" PARENT_SCOPE)
endfunction()
file(MAKE_DIRECTORY ${WORK}/nomodule ${WORK}/module)
file(WRITE ${WORK}/module/ledview-engine.js "var LedviewEngine = 'engine';\n")
file(WRITE ${WORK}/module/index.js "var Ledview = 'module';\n")
run_web(1 ${WORK}/nomodule out err ${EXAMPLES}/hello.json -o ${WORK}/site)
expect_match("${err}" "^ledview: LEDVIEW_WEB_MODULE=[^\n]*nomodule: holds no ledview-engine.js and index.js\n$" "export-web without the module")
run_web(0 ${WORK}/module out err ${EXAMPLES}/hello.json -o ${WORK}/site/ --size 32x8)
expect_match("${err}" "ledview: warning: pages\\[0\\]\\.areas\\[0\\]: reaches outside the 32x8 sign[^\n]*\nledview: wrote [^\n]*site/index.html" "export-web's lines")
file(GLOB_RECURSE written RELATIVE ${WORK}/site ${WORK}/site/*)
list(SORT written)
expect_match("${written}" "^fonts/[^;]+\\.tt[fc];index.html;ledview-engine.js;ledview-module.js;ledview.css;ledview.js;show.bill;show.js$" "export-web's files")
expect_same(${WORK}/site/ledview-module.js ${WORK}/module/index.js)
expect_same(${WORK}/site/show.bill ${GOLDEN}/hello.bill)
# The font comes last in show.js; what the page reads before it is enough.
file(READ ${WORK}/site/show.js shown LIMIT 4096)
expect_match("${shown}" "\nvar ledviewShow = {\"name\":\"hello.json\",\"width\":32,\"height\":8,\"mode\":1,[^\n]*\"strings\":\\[\\],[^\n]*\"warnings\":\\[\"warning: pages\\[0\\]\\.areas\\[0\\]: reaches outside the 32x8 sign[^\"]*\"\\],[^\n]*\"bill\":\"[A-Za-z0-9+/=]+\",\"fontfile\":\"fonts/[^\"]+\",\"font\":\"[A-Za-z0-9+/]" "export-web's show.js")
file(READ ${WORK}/site/index.html page)
expect_match("${page}" "<script src=\"show.js\"></script>\n<script src=\"ledview.js\"></script>" "export-web's page")
# A full folder (said before the show's warnings), the input as the output
# and too wide a sign each get one line and leave nothing behind.
run_web(1 ${WORK}/module out err ${EXAMPLES}/hello.json -o ${WORK}/site --size 32x8)
expect_match("${err}" "^ledview: [^\n]*site: exists and is not an empty folder; [^\n]*\n$" "export-web into a full folder")
file(COPY ${EXAMPLES}/hello.json DESTINATION ${WORK}/input)
run_web(1 ${WORK}/module out err ${WORK}/input/hello.json -o ${WORK}/input/hello.json)
expect_match("${err}" "^ledview: [^\n]*hello.json: exists and is not an empty folder" "export-web over its input")
run_web(1 ${WORK}/module out err ${GOLDEN}/hello.bill --size 9000x8 -o ${WORK}/big)
expect_match("${err}" "^ledview: --size \"9000x8\": the width is at most 8192 LEDs\n$" "export-web of too wide a sign")
file(GLOB left ${WORK}/.site* ${WORK}/big ${WORK}/.big* ${WORK}/input/.hello*)
if(left)
  message(FATAL_ERROR "a failed export-web left ${left}")
endif()
file(REMOVE_RECURSE ${WORK})
