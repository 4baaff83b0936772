# cmake -DMODULE=rivit.js -DWORKER=worker.js -DOUTPUT=engine.js -P engine.cmake
#
# The worker's whole text as one function of a script that the page loads
# with <script src>: the page makes its workers from that function's source
# (Function.prototype.toString) as a Blob, since a page opened from disk may
# start no Worker from a file URL, and its policy allows no other source.
file(READ ${MODULE} module_text)
file(READ ${WORKER} worker_text)
file(WRITE ${OUTPUT} "// The page's worker: the companion's library (WebAssembly inside) and page/worker.js.\n"
                     "function erilaisetrivitWorker() {\n${module_text}\n${worker_text}\n}\n")
