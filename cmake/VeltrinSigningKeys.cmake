# The configure step's check of an update signing key file (used by src/download, and by a test
# on its own with cmake -P).
# Both systems must take the key alike: a named P-256 curve and an uncompressed point on it,
# exactly the DER SubjectPublicKeyInfo both libraries read, in the file as openssl writes it.
# Checked with the openssl command, since a key the Windows build would refuse would make it
# refuse every update.
find_program(VELTRIN_OPENSSL_COMMAND openssl)
# One PEM block of a key file.
function(veltrin_check_signing_key_block key_file block)
    set(_pem "${CMAKE_CURRENT_BINARY_DIR}/checked-signing-key.pem")
    set(_der "${CMAKE_CURRENT_BINARY_DIR}/checked-signing-key.der")
    set(_base64 "${CMAKE_CURRENT_BINARY_DIR}/checked-signing-key.b64")
    set(_raw "${CMAKE_CURRENT_BINARY_DIR}/checked-signing-key.raw")
    file(WRITE "${_pem}" "${block}\n")
    execute_process(COMMAND "${VELTRIN_OPENSSL_COMMAND}" pkey -pubin -in "${_pem}"
        -pubcheck -noout RESULT_VARIABLE _valid OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND "${VELTRIN_OPENSSL_COMMAND}" pkey -pubin -in "${_pem}"
        -outform DER -out "${_der}" RESULT_VARIABLE _written OUTPUT_QUIET ERROR_QUIET)
    # The program reads the file's own bytes, not openssl's tidied copy of them: both must be
    # the same DER (no long-form lengths, nothing after the key).
    string(REGEX REPLACE "-----[A-Z ]+-----|[ \t\r\n]" "" _body "${block}")
    file(WRITE "${_base64}" "${_body}\n")
    execute_process(COMMAND "${VELTRIN_OPENSSL_COMMAND}" base64 -d -A -in "${_base64}"
        -out "${_raw}" RESULT_VARIABLE _decoded OUTPUT_QUIET ERROR_QUIET)
    set(_hex "")
    set(_file_hex "")
    if(_valid EQUAL 0 AND _written EQUAL 0 AND _decoded EQUAL 0)
        file(READ "${_der}" _hex HEX)
        file(READ "${_raw}" _file_hex HEX)
    endif()
    file(REMOVE "${_pem}" "${_der}" "${_base64}" "${_raw}")
    string(LENGTH "${_hex}" _length)
    if(NOT _length EQUAL 182 OR NOT _hex STREQUAL _file_hex OR
       NOT _hex MATCHES "^3059301306072a8648ce3d020106082a8648ce3d03010703420004")
        message(FATAL_ERROR "VELTRIN_UPDATE_SIGNING_KEYS: ${key_file} is no ECDSA P-256 public "
            "key with a named curve and an uncompressed point on it, in DER (make one with: "
            "openssl ec -in private.pem -pubout -out public.pem)")
    endif()
endfunction()

# Every key of the file, as the program reads them all.
function(veltrin_check_signing_key key_file)
    if(NOT VELTRIN_OPENSSL_COMMAND)
        message(FATAL_ERROR "VELTRIN_UPDATE_SIGNING_KEYS: the openssl command is needed to check "
            "${key_file}")
    endif()
    file(READ "${key_file}" _text)
    # (Base64 holds no semicolon, so the blocks are a list.)
    string(REGEX MATCHALL "-----BEGIN PUBLIC KEY-----[^-]*-----END PUBLIC KEY-----" _blocks
        "${_text}")
    if(NOT _blocks)
        message(FATAL_ERROR "VELTRIN_UPDATE_SIGNING_KEYS: no PEM public key in ${key_file}")
    endif()
    foreach(_block IN LISTS _blocks)
        veltrin_check_signing_key_block("${key_file}" "${_block}")
    endforeach()
endfunction()
