#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
// The path names a folder, device, pipe or socket, which is never read as a sound.
constexpr OSStatus kAudioFileNotRegularFileError = 0x6E726567;  // 'nreg'
// The sound is longer than one may last.
constexpr OSStatus kSoundTooLongError = 0x6C6F6E67;  // 'long'
// The sounds made so far already hold all the audio there is room for.
constexpr OSStatus kSoundsTooLongInAllError = 0x66756C6C;  // 'full'

// What a status means, in words for a log line.
constexpr std::string_view systemSoundStatusDescription(OSStatus status) {
    switch (status) {
        case kNoErr:
            return "no error";
        case kFileNotFoundErr:
            return "no such file";
        case kAudioFilePermissionsError:
            return "permission denied";
        case kAudioFileUnsupportedFileTypeError:
            return "not an audio file of a known type";
        case kAudioFileUnsupportedDataFormatError:
            return "an audio encoding that cannot be decoded";
        case kAudioFileInvalidFileError:
            return "damaged audio data";
        case kAudioFileNotRegularFileError:
            return "not a regular file";
        case kSoundTooLongError:
            return "longer than a sound may last";
        case kSoundsTooLongInAllError:
            return "more sound than all sounds together may hold";
        default:
            return "cannot be made into a sound";
    }
}

// Where one play of a sound is heard.
struct SoundPlacement {
    // The stereo position, -1 (left) to 1 (right), equal-power; 0 plays as the sound is.
    float pan = 0.0f;
    // A pitch shift in cents (hundredths of a semitone), made by playing the sound faster or
    // slower; 0 plays it as it is.
    float pitchCents = 0.0f;
};

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
    // Starts the sound, placed as asked, and returns at once; never allocates or locks.
    virtual void playSystemSound(SystemSoundID soundID, SoundPlacement placement = {}) = 0;
    // Gives the sound back; it stops if it is playing.
    virtual OSStatus disposeSystemSoundID(SystemSoundID soundID) = 0;
    // Scales everything the output plays, spoken words included: 0 is silent, 1 as recorded.
    virtual void setOutputVolume(float volume) = 0;
    // Whether a sound still reads its audio file after it was created; when not, the file may
    // go as soon as createSystemSoundID returns.
    virtual bool readsFileAfterCreation() const = 0;
};

}  // namespace plinka
