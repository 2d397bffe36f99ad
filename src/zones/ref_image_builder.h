// Composing a reference image from several video frames, so that the animal is absent from
// every part of the result: paste the whole frame, one of its quadrants or a drawn rectangle
// into the reference at the same place.
#pragma once

#include <opencv2/core/mat.hpp>

namespace vx {

enum class PasteArea { WholeFrame, TopLeft, TopRight, BottomLeft, BottomRight, Rectangle };

// The part of a frame of the given size that a paste copies: a quadrant takes the integer
// halves (w / 2, h / 2) and lies against its corner; Rectangle is drawn clamped to the frame.
cv::Rect PasteRect(PasteArea area, cv::Size frame, const cv::Rect& drawn = {});

// The frame as the reference stores it: grey frames are converted with the same conversion
// detection applies (OpenCV code 7, red-green-blue to grey weights).
cv::Mat ReferenceFrame(const cv::Mat& frame, bool gray);

// Pastes part of frame into reference. Pasting the whole frame (re)starts the reference;
// any other paste needs a reference of the frame's size and kind. Returns false when nothing
// was pasted (no frame, no reference yet, an empty rectangle).
bool PasteIntoReference(cv::Mat& reference, const cv::Mat& frame, bool gray, PasteArea area,
                        const cv::Rect& drawn = {});

}  // namespace vx
