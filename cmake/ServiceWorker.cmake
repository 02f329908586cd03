# Writes the page's service worker (cmake -P): the template with the site's files to keep and
# a version drawn from their contents, so that any change to the site is a new worker.
# -DSITE_DIR=... -DTEMPLATE=service_worker.js.in -DOUTPUT=.../service_worker.js
file(GLOB names RELATIVE ${SITE_DIR} ${SITE_DIR}/*)
list(SORT names)
# The worker itself, and the preview that only link previews fetch, are not kept.
list(REMOVE_ITEM names service_worker.js preview.png)
set(digests "")
set(SITE_FILES "'./'")
foreach(name ${names})
  file(SHA256 ${SITE_DIR}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  if(NOT name STREQUAL "index.html")
    string(APPEND SITE_FILES ", '${name}'")
  endif()
endforeach()
string(SHA256 SITE_VERSION "${digests}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
