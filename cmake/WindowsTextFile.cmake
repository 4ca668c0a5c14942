# cmake -DINPUT=<file> -DOUTPUT=<file> -P WindowsTextFile.cmake
# Writes a UTF-8 text the way every Notepad reads it: a byte-order mark and CR LF line ends.
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE "${OUTPUT}" "${byte_order_mark}${text}")
