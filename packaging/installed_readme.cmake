# Writes the README for share/doc/tavik: the same text, with the links to
# docs/... made relative to the folder the README is installed in, where the
# contents of docs/ sit beside it.
#   cmake -DSOURCE=README.md -DTARGET=OUT.md -P installed_readme.cmake
file(READ ${SOURCE} text)
string(REPLACE "](docs/" "](" text "${text}")
file(WRITE ${TARGET} "${text}")
