# Exports a figure with brelloc-export, wraps it in a minimal LaTeX document
# that loads pictex and compiles it; any LaTeX error fails the test.
# Variables: EXPORTER, LATEX, WORK, ARGS (extra exporter options, a list).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${EXPORTER}" ${ARGS} --pictex "${WORK}/figure.tex"
    RESULT_VARIABLE exported ERROR_VARIABLE exportErrors)
if(NOT exported EQUAL 0)
    message(FATAL_ERROR "brelloc-export failed (${exported}): ${exportErrors}")
endif()
file(WRITE "${WORK}/document.tex"
    "\\documentclass{article}\n"
    "\\usepackage{pictex}\n"
    "\\begin{document}\n"
    "\\input{figure.tex}\n"
    "\\end{document}\n")
execute_process(COMMAND "${LATEX}" -interaction=nonstopmode -halt-on-error document.tex
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE compiled OUTPUT_VARIABLE output)
file(READ "${WORK}/document.log" log)
if(NOT compiled EQUAL 0 OR log MATCHES "\n! ")
    message(FATAL_ERROR "LaTeX failed (${compiled}):\n${output}")
endif()
if(NOT log MATCHES "Output written on document\\.(dvi|pdf) \\(1 page")
    message(FATAL_ERROR "LaTeX wrote no one-page document:\n${log}")
endif()
message(STATUS "LaTeX compiled ${WORK}/figure.tex")
