#pragma once

#include <QTimer>
#include <QWidget>

// The last screen: the game's logo, for a moment. Any key, any mouse button
// or its timer ends the program.
class logo : public QWidget
{
    Q_OBJECT

public:
    explicit logo(QWidget *parent = nullptr);

    void Form_Activate();
    void Form_KeyDown();
    void Form_MouseDown();
    void Timer1_Timer();

    QTimer Timer1;

signals:
    // Emitted as the program is ended, just before the event loop stops.
    void programEnded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void endProgram();

    QImage m_picture;
};
