# Makes d88cut.pot, the texts the catalogue must hold, from the sources: the
# texts the tools' catalogues mark with N_, and the names the reader gives
# the sectors' status values. With MSGCMP and PO, then checks that PO
# translates every one of them (an untranslated or fuzzy one fails).
#   cmake -DSOURCE_DIR=TOP -DOUTPUT=FILE.pot -DXGETTEXT=xgettext
#         [-DVERSION=V] [-DMSGCMP=msgcmp -DPO=ja.po] -P make_pot.cmake
file(GLOB tool_texts ${SOURCE_DIR}/*/messages.h)
set(texts ${tool_texts} ${SOURCE_DIR}/platform/src/tool_output.cpp
  ${SOURCE_DIR}/platform/src/image_words.cpp)
set(names ${SOURCE_DIR}/d88image/include/d88image/d88_format.h)
# Every marked text is a printf format (one without a directive, too), so
# that msgfmt --check holds each translation to the same directives.
execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --keyword=N_
    --flag=N_:1:c-format --no-location --package-name=d88cut --package-version=${VERSION} -o ${OUTPUT} ${texts}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --extract-all
    --no-location --join-existing -o ${OUTPUT} ${names}
  COMMAND_ERROR_IS_FATAL ANY)
if(MSGCMP)
  execute_process(COMMAND ${MSGCMP} ${PO} ${OUTPUT} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${PO} does not translate every text of the sources")
  endif()
endif()
