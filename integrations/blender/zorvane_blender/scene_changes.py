# SPDX-License-Identifier: GPL-3.0-or-later
# Puts a worked-out plan (plan.Plan) into a Blender scene, noting how to
# take back each change as it is made, so a failure part-way leaves the
# scene as it was.

import os

import bpy

from .timing import TimingError

MOUTH_GROUP = "Zorvane Mouths"
MAX_CHANNEL = 128


def _strips(sed):
    """The top-level strips and all strips (renamed in Blender 4.4)."""
    top = getattr(sed, "strips", None)
    if top is None:
        top = sed.sequences
    every = getattr(sed, "strips_all", None)
    if every is None:
        every = sed.sequences_all
    return top, every


def _fcurves(obj):
    anim = obj.animation_data
    action = anim.action if anim else None
    if action is None:
        return None
    curves = getattr(action, "fcurves", None)
    if curves is not None:
        return curves
    # Blender 5: an action's curves live in the channel bag of its slot.
    from bpy_extras import anim_utils
    bag = anim_utils.action_get_channelbag_for_slot(action, anim.action_slot)
    return bag.fcurves if bag else None


def looks_like_sound(path):
    """True when the file starts as a sound file does (WAV, FLAC, Ogg, MP3,
    AIFF, MP4 audio). Blender makes a one-frame strip of any other file
    without a word."""
    try:
        with open(path, "rb") as f:
            head = f.read(12)
    except OSError:
        return False
    return (head[:4] in (b"RIFF", b"RF64", b"fLaC", b"OggS", b"FORM", b"ID3")
            or head[4:8] == b"ftyp"
            or (len(head) >= 2 and head[0] == 0xFF and head[1] & 0xE0 == 0xE0))


def _path(prop):
    return '["%s"]' % prop


class SceneChanges:
    """The changes of one import, each with how to take it back."""

    def __init__(self, scene):
        self.scene = scene
        self._undo = []
        self.messages = []   # what the user should know though the import went through
        self.sound_strip = None

    def take_back(self):
        """Undoes every change made so far, newest first."""
        while self._undo:
            step = self._undo.pop()
            try:
                step()
            except Exception as e:  # keep undoing the rest
                self.messages.append("could not take back a change: %s" % e)

    # ---- markers ----

    def add_markers(self, markers):
        """Adds each (frame, name) that the scene has no marker for yet, so a
        second import of a file adds none twice."""
        scene_markers = self.scene.timeline_markers
        have = {(m.frame, m.name) for m in scene_markers}
        for frame, name in markers:
            if (frame, name) in have:
                continue
            have.add((frame, name))
            marker = scene_markers.new(name, frame=frame)
            marker_name, marker_frame = marker.name, marker.frame

            def remove(marker_name=marker_name, marker_frame=marker_frame):
                for m in reversed(list(scene_markers)):
                    if m.name == marker_name and m.frame == marker_frame:
                        scene_markers.remove(m)
                        return
            self._undo.append(remove)

    # ---- mouth keys ----

    @staticmethod
    def check_object(obj, curves):
        """TimingError when `obj` cannot take the curves (before any change)."""
        if obj.library is not None:
            raise TimingError("the active object '%s' is linked from another file and cannot be keyed" % obj.name)
        for c in curves:
            if c.prop in obj.keys() and (isinstance(obj[c.prop], bool) or not isinstance(obj[c.prop], int)):
                raise TimingError("the active object '%s' already has a property '%s' that is not a whole number"
                                  % (obj.name, c.prop))

    def mouth_object(self, context):
        """The active object, or a new empty made active when there is none."""
        obj = context.active_object
        if obj is not None:
            return obj
        obj = bpy.data.objects.new(MOUTH_GROUP, None)
        self._undo.append(lambda: bpy.data.objects.remove(obj))
        self.scene.collection.objects.link(obj)
        layer = context.view_layer
        previous = layer.objects.active
        layer.objects.active = obj

        def restore_active():
            layer.objects.active = previous
        self._undo.append(restore_active)
        self.messages.append("there was no active object, so the mouths are keyed on a new empty '%s'" % obj.name)
        return obj

    def key_mouths(self, obj, curve, current_frame):
        """Keys obj[curve.prop] at each (frame, number), constant between
        keys, replacing the property's earlier keys."""
        prop, path = curve.prop, _path(curve.prop)
        anim = obj.animation_data
        if anim is not None and anim.drivers.find(path) is not None:
            self.messages.append("'%s' on '%s' has a driver, which overrides its keys" % (prop, obj.name))
        self._keep_property(obj, prop)
        self._keep_animation(obj)
        curves = _fcurves(obj)
        old = curves.find(path) if curves is not None else None
        if old is not None:
            kept = [(tuple(k.co), k.interpolation) for k in old.keyframe_points]
            curves.remove(old)

            def restore_curve():
                fcurves = _fcurves(obj)
                if fcurves is None:
                    return
                now = fcurves.find(path)
                if now is not None:
                    fcurves.remove(now)
                back = fcurves.new(path)
                for co, interpolation in kept:
                    key = back.keyframe_points.insert(co[0], co[1], options={'FAST'})
                    key.interpolation = interpolation
                back.update()
            self._undo.append(restore_curve)
        obj[prop] = curve.keys[0][1]
        obj.id_properties_ui(prop).update(min=0, max=max(curve.count, 1), soft_min=0,
                                          soft_max=max(curve.count, 1),
                                          description="Mouth shape from Zorvane: " + curve.description)
        first_frame, first_value = curve.keys[0]
        if not obj.keyframe_insert(data_path=path, frame=first_frame, group=MOUTH_GROUP):
            raise TimingError("Blender did not key '%s' on '%s'" % (prop, obj.name))
        fcurve = _fcurves(obj).find(path)
        if old is None:
            def remove_curve():
                fcurves = _fcurves(obj)
                made = fcurves.find(path) if fcurves is not None else None
                if made is not None:
                    fcurves.remove(made)
            self._undo.append(remove_curve)
        points = fcurve.keyframe_points
        for frame, value in curve.keys[1:]:
            points.insert(frame, value, options={'FAST'})
        for key in points:
            key.interpolation = 'CONSTANT'
        fcurve.update()
        obj[prop] = int(round(fcurve.evaluate(current_frame)))

    def _keep_property(self, obj, prop):
        if prop in obj.keys():
            value = obj[prop]

            def restore_value():
                obj[prop] = value
            self._undo.append(restore_value)
        else:
            def remove_property():
                if prop in obj.keys():
                    del obj[prop]
            self._undo.append(remove_property)

    def _keep_animation(self, obj):
        if obj.animation_data is None:
            def clear_animation():
                action = obj.animation_data.action if obj.animation_data else None
                obj.animation_data_clear()
                if action is not None and action.users == 0:
                    bpy.data.actions.remove(action)
            self._undo.append(clear_animation)
        elif obj.animation_data.action is None:
            anim = obj.animation_data

            def drop_action():
                action = anim.action
                anim.action = None
                if action is not None and action.users == 0:
                    bpy.data.actions.remove(action)
            self._undo.append(drop_action)

    # ---- the sound ----

    def add_sound(self, path, first_frame):
        """A sound strip from `path` starting on `first_frame`, on the first
        channel above every strip; none when the same sound already starts
        there. A sound Blender cannot read is told in `messages`."""
        if not looks_like_sound(path):
            self.messages.append("'%s' is not a sound file Blender reads, so it was not added"
                                 % os.path.basename(path))
            return
        sed = self.scene.sequence_editor
        made_editor = sed is None
        if made_editor:
            sed = self.scene.sequence_editor_create()
            self._undo.append(lambda: self.scene.sequence_editor_clear())
        top, every = _strips(sed)
        wanted = os.path.normcase(os.path.abspath(path))
        for strip in every:
            if strip.type == 'SOUND' and strip.sound is not None and int(strip.frame_start) == first_frame:
                have = os.path.normcase(os.path.abspath(bpy.path.abspath(strip.sound.filepath)))
                if have == wanted:
                    self.sound_strip = strip
                    return
        used = [s.channel for s in every]
        channel = max(used) + 1 if used else 1
        if channel > MAX_CHANNEL:
            self.messages.append("every sequencer channel is taken, so the sound was not added")
            return
        name = os.path.basename(path)
        try:
            strip = top.new_sound(name, path, channel, first_frame)
        except RuntimeError as e:
            self.messages.append("Blender could not read the sound '%s' (%s), so it was not added"
                                 % (name, str(e).strip()))
            return
        strip_name, sound = strip.name, strip.sound

        def remove_strip():
            tops, _ = _strips(self.scene.sequence_editor)
            made = tops.get(strip_name)
            if made is not None:
                tops.remove(made)
            if sound is not None and sound.users == 0:
                bpy.data.sounds.remove(sound)
        self._undo.append(remove_strip)
        self.sound_strip = strip
