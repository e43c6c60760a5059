# Copies one of the station's Markdown pages for its documentation folder, where the README, the Dutch guide
# and the pages of docs/ lie side by side: a link from the README into docs/ and a link from a page of docs/
# up to the README lose their folder, so every link between them works there as in the repository.
#   cmake -DINPUT=<page.md> -DOUTPUT=<copy.md> -P flatdocs.cmake
file(READ "${INPUT}" text)
string(REPLACE "](docs/" "](" text "${text}")
string(REPLACE "](../README.md" "](README.md" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
