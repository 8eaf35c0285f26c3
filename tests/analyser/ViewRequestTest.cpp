// The request is the one way between the host's threads and the view's draw: what the
// draw must do besides copying the state (size buffers, rebuild the picture, move the band
// positions, take new colours) is handed over once.
#include <gtest/gtest.h>

#include <cmath>

#include "analyser/ViewRequest.h"

TEST(ViewRequest, WhatMustFollowIsTakenOnce)
{
    ViewRequest request(nullptr);
    ViewRequest::State s = request.Take();
    EXPECT_EQ(s.domain, -1);
    EXPECT_FALSE(s.resize || s.refresh || s.rate || s.colours);

    // A new domain is sized; the same pause again rebuilds; a NaN scale and a zoom past the
    // tables become usable values; a rate that is no positive number is refused.
    request.SetViewState(2, std::nan(""), false, 99);
    request.SetSampleRate(-48000.0);
    s = request.Take();
    EXPECT_TRUE(s.resize);
    EXPECT_TRUE(s.refresh);
    EXPECT_FALSE(s.rate);
    EXPECT_EQ(s.domain, 2);
    EXPECT_EQ(s.vScale, 0.0f);
    EXPECT_EQ(s.fftZoom, 6);
    s = request.Take();
    EXPECT_FALSE(s.resize || s.refresh);
    EXPECT_EQ(s.domain, 2);

    // Toggling pause does not rebuild; the same or an unknown domain sizes nothing.
    request.SetViewState(2, 1.0, true, -3);
    s = request.Take();
    EXPECT_FALSE(s.refresh || s.resize);
    EXPECT_TRUE(s.paused);
    EXPECT_EQ(s.fftZoom, 0);
    request.SetViewState(7, 1.0, false, 0);
    EXPECT_FALSE(request.Take().resize);

    // Asking leaves the hand-over for the draw.
    request.SetSampleRate(44100.0);
    request.ResetColours();
    EXPECT_TRUE(request.Asked().rate);
    s = request.Take();
    EXPECT_TRUE(s.rate && s.colours);
    EXPECT_EQ(s.sampleRate, 44100.0);
    EXPECT_EQ(s.fill, ViewRequest::kDefaultFill);
    EXPECT_FALSE(request.Asked().rate);
}
