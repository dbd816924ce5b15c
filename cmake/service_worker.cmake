# Writes the page's service worker, QORDA_WORKER with the build's files filled in, into QORDA_WEB_DIR: every
# other file of that folder with its SHA-256, and the build's version, a hash of that list. The worker keeps
# the files of one version together, and checks each against its hash as it stores it.
# usage: cmake -DQORDA_WEB_DIR=<folder> -DQORDA_WORKER=<web/service-worker.js> -P service_worker.cmake
file(GLOB files LIST_DIRECTORIES false RELATIVE ${QORDA_WEB_DIR} ${QORDA_WEB_DIR}/*)
get_filename_component(worker ${QORDA_WORKER} NAME)
list(REMOVE_ITEM files ${worker})
list(SORT files)
set(QORDA_BUILD_FILES "")
foreach(file ${files})
  file(SHA256 ${QORDA_WEB_DIR}/${file} hash)
  string(APPEND QORDA_BUILD_FILES "  ['${file}', '${hash}'],\n")
endforeach()
string(SHA256 QORDA_BUILD_VERSION "${QORDA_BUILD_FILES}")
string(SUBSTRING ${QORDA_BUILD_VERSION} 0 16 QORDA_BUILD_VERSION)
configure_file(${QORDA_WORKER} ${QORDA_WEB_DIR}/${worker} @ONLY)
