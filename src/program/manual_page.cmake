# Writes the manual page acquenza.1 from the program's own --help, so the
# options are listed in one place only.
#   cmake -DPROGRAM=... -DVERSION=... -DOUTPUT=... -P manual_page.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${PROGRAM} --help: ${failed}")
endif()
# Text as roff reads it: backslashes, minus signs and lines that would be
# taken for requests.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUTPUT} ".TH ACQUENZA 1 \"\" \"Acquenza ${VERSION}\" \"Comandi dell'utente\"
.SH NOME
acquenza \\- dimensionamento dei tronchi di una rete di acquedotto
.SH DESCRIZIONE
Acquenza dimensiona i tronchi di una rete di distribuzione dell'acqua
potabile e scrive la relazione di calcolo. Senza opzioni apre la finestra
di presentazione; cliccandovi si apre la finestra Dati.
.SH USO E OPZIONI
.nf
${help}.fi
.SH FILE
.TP
.I /usr/share/acquenza
i suggerimenti, il brano musicale, il progetto di esempio e i cataloghi
delle tubazioni.
.TP
.I /etc/xdg/Acquenza/acquenza.conf, ~/.config/Acquenza/acquenza.conf
le impostazioni: studio tecnico, assistenza, limiti di velocità.
.SH VEDERE ANCHE
.I /usr/share/doc/acquenza/README.md
")
execute_process(COMMAND gzip -9nf ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip ${OUTPUT}: ${failed}")
endif()
