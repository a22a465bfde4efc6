# Run at install time (and so for the package): every text file staged for
# the package gets CRLF line ends, as the era's Notepad needs to show lines
# at all. The gauge file and the pictures are left as they are.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
file(GLOB_RECURSE texts "${root}/*.txt" "${root}/*.html" "${root}/*.cfg" "${root}/*.css")
foreach(path IN LISTS texts)
    file(READ "${path}" content)
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE "${path}" "${content}")
endforeach()
