# Writes OUT: the page TEMPLATE with its line "<!-- compat/xpcom.js -->" replaced by SCRIPT inline,
# as the stand-in browser runs only inline scripts.
file(READ ${TEMPLATE} page)
file(READ ${SCRIPT} script)
string(REPLACE "<!-- compat/xpcom.js -->" "<script>\n${script}\n</script>" page "${page}")
file(WRITE ${OUT} "${page}")
