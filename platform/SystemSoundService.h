#pragma once

#include <cstdint>
#include <string>

namespace plinka {

using SystemSoundID = uint32_t;
using OSStatus = int32_t;
using AudioServicesPropertyID = uint32_t;

constexpr OSStatus kNoErr = 0;
// Whether a sound obeys the user's setting for interface sound effects.
constexpr AudioServicesPropertyID kAudioServicesPropertyIsUISound = 0x69737569;  // 'isui'
constexpr OSStatus kAudioServicesUnsupportedPropertyError = 0x7074793F;          // 'pty?'
constexpr OSStatus kAudioServicesSystemSoundUnspecifiedError = -1500;
constexpr OSStatus kFileNotFoundErr = -43;                             // fnfErr
constexpr OSStatus kAudioFileUnsupportedFileTypeError = 0x7479703F;    // 'typ?'
constexpr OSStatus kAudioFileUnsupportedDataFormatError = 0x666D743F;  // 'fmt?'
constexpr OSStatus kAudioFilePermissionsError = 0x70726D3F;            // 'prm?'
constexpr OSStatus kAudioFileInvalidFileError = 0x6474613F;            // 'dta?'

// Short sounds made ready once and played at once, mixed into the one audio output.
class SystemSoundService {
  public:
    virtual ~SystemSoundService() = default;
    // Decodes the audio file at the file URL into a new sound; kNoErr and the identifier, or a
    // status that says why not.
    virtual OSStatus createSystemSoundID(const std::string& fileUrl, SystemSoundID* outSoundID) = 0;
    // Sets a property of a sound.
    virtual OSStatus setProperty(AudioServicesPropertyID property, SystemSoundID soundID,
                                 uint32_t value) = 0;
    // Starts the sound and returns at once; never allocates or locks.
    virtual void playSystemSound(SystemSoundID soundID) = 0;
    // Gives the sound back; it stops if it is playing.
    virtual OSStatus disposeSystemSoundID(SystemSoundID soundID) = 0;
};

}  // namespace plinka
