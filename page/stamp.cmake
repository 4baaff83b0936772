# cmake -DWORKER=service-worker.js -DOUTPUT=site/service-worker.js -P stamp.cmake FILE...
#
# The service worker with @PAGE_VERSION@ as a digest of the page's files
# (the arguments after the script), so that a build whose files differ
# names a cache of its own.
set(digests "")
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(CMAKE_ARGV${i} STREQUAL "-P")
    math(EXPR first "${i} + 2")
  endif()
endforeach()
foreach(i RANGE ${first} ${last})
  file(SHA256 ${CMAKE_ARGV${i}} digest)
  string(APPEND digests ${digest})
endforeach()
string(SHA256 PAGE_VERSION "${digests}")
string(SUBSTRING ${PAGE_VERSION} 0 16 PAGE_VERSION)
configure_file(${WORKER} ${OUTPUT} @ONLY)
