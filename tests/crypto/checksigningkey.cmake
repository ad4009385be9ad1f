# The configure step's check of one signing key file, on its own:
#   cmake -DKEY_FILE=FILE -P checksigningkey.cmake   (in a scratch folder)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/VeltrinSigningKeys.cmake")
veltrin_check_signing_key("${KEY_FILE}")
message(STATUS "taken: ${KEY_FILE}")
